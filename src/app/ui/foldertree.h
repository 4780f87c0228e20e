#pragma once

#include <QTreeView>

class QFileSystemModel;

// The folder tree FTV: folders only, rooted at "/", the home folder expanded.
// Every change of the selected folder, by the user or by setPath, is
// reported once through folderChanged. When another program removes or
// renames the selected folder (or one above it), folderVanished reports it
// instead of the neighbour the view would move to.
class FolderTree final : public QTreeView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderTree)

public:
    explicit FolderTree(QWidget* parent = nullptr);

    // The selected folder with a trailing "/", or "" before any selection.
    QString path() const { return m_path; }
    // Selects and scrolls to folder; false when it is not an existing folder
    // (the selection then stays as it was).
    bool setPath(const QString& folder);

protected:
    void showEvent(QShowEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

signals:
    void folderChanged(const QString& folder);
    void folderVanished(const QString& folder);

private:
    void onCurrentChanged(const QModelIndex& current);
    void onRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void onRowsRemoved();
    void scrollToCurrentLater();

    QFileSystemModel* m_model;
    QString m_path;
    bool m_reveal = false; // keep the folder in view while rows arrive
    bool m_scrollPending = false;
    bool m_vanishing = false; // the selected folder's row is being removed
};
