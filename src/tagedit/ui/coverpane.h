#pragma once

#include "tagedit/manyfiles.h"
#include "tags/coverpicture.h"

#include <QImage>
#include <QList>
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
struct PlatformServices;

// The pictures of the file on view (object name "CoverPane"): its front
// cover as a thumbnail ("CoverImage", a click shows it whole in a
// "CoverViewer"), what it is ("CoverFacts"), and the commands that change
// the list: "CoverAdd" (an image file), "CoverPaste" (Ctrl+V), a dropped
// file or image, "CoverRemove" (the picture shown), "CoverRemoveAll", and
// "CoverExtract" (the stored bytes into a file). A new picture takes the
// type of "CoverType" (Front Cover unless changed) and the text of
// "CoverDescription", and replaces the picture of that type (withCover).
//
// The pane writes no audio file: each change emits the file's whole new
// list, which the window keeps as pending until Save. An image file keeps
// its exact bytes; pasted or dropped image data becomes a PNG. An image Qt
// cannot read, or one a tag cannot take, is refused with its cause through
// the prompter, and nothing changes.
//
// For many files (showMany) the pane shows their common front cover or
// "<different covers>", and asks the window for the bulk runs instead.
class CoverPane final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CoverPane)

public:
    // The thumbnail's width and height in pixels.
    static constexpr int kThumbnailSize = 160;

    // services (prompter and file system) must outlive the pane.
    explicit CoverPane(const PlatformServices& services, QWidget* parent = nullptr);
    ~CoverPane() override;

    // One file's pictures; folder is where the pickers start ("" for the
    // current folder).
    void showPictures(const QList<CoverPicture>& pictures, const QString& folder = QString());
    // The front cover many files share, or "<different covers>".
    void showMany(const CommonTags& common, const QString& folder = QString());
    // No file: "No Cover", every command off.
    void showNothing();
    // The one file's list as the pane shows it.
    QList<CoverPicture> pictures() const { return m_pictures; }

    // The commands of the buttons.
    void addFromFile();
    void paste();
    void removeShown();
    void removeAll();
    void extract();
    void viewCover();

    // An image file's exact bytes, or image data as a PNG, as a new picture;
    // false (refused with a message) when it cannot be used.
    bool addImageFile(const QString& path);
    bool addImage(const QImage& image, const QString& source);
    // A local file among the data's URLs, else its image.
    bool addMimeData(const QMimeData* data, const QString& source);

signals:
    // One file's whole new list.
    void picturesEdited(const QList<CoverPicture>& pictures);
    // Many files: put picture into every one of them, or remove every picture.
    void coverForAllRequested(const CoverPicture& picture);
    void removeAllRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class Mode { Nothing, One, Many };
    void buildControls();
    bool addPicture(const QByteArray& bytes, const QString& source);
    void refuse(const QString& source, const QString& description, int number);
    void setList(const QList<CoverPicture>& pictures);
    void showCover(const std::optional<CoverPicture>& cover, const QString& facts);
    void enableCommands();
    bool takesDrop(const QMimeData* data) const;

    const PlatformServices& m_services;
    Mode m_mode = Mode::Nothing;
    QList<CoverPicture> m_pictures;
    std::optional<CoverPicture> m_shown; // the picture in the thumbnail
    QImage m_shownImage;
    QString m_folder;
    QLabel* m_image = nullptr;
    QLabel* m_facts = nullptr;
    QComboBox* m_type = nullptr;
    QLineEdit* m_description = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_paste = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_removeAll = nullptr;
    QPushButton* m_extract = nullptr;
};
