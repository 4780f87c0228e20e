#pragma once

#include "tagedit/multitagrun.h"
#include "tagedit/multitagwriter.h"
#include "tagedit/ui/tagpanelbuilder.h"

#include <QDialog>
#include <QElapsedTimer>

#include <array>

class TagPanel;
class Preferences;
class QCheckBox;
class QProgressBar;
class QFileSystemModel;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QPushButton;
class QStatusBar;
class QToolButton;
class QTreeView;
class QVariant;
class StepRecorder;
struct CoverBatchRequest;
struct MultiTagRunReport;
struct PlatformServices;

// The modal window that writes the same tag values into many MP3 files:
// folder tree FTV, multi-select FileList of the folder's "*.mp3" files, the
// tag panel with an Included check box ("Included0" .. "Included19") beside
// each box, AllButton, ReadValues, SetTagsButton, ExitButton, StopButton and
// UndoRunButton; the Covers group (CoverImageButton, FolderCoverButton with
// the names FolderCoverPattern, RemoveCoversButton, ShrinkCoversButton with
// ShrinkPixels and ShrinkQuality) acting on the selected files; the progress
// bar MTProgress and the status bar MTSB. A run of either kind
// keeps the window painted and answers StopButton and Escape, which end it
// after the current file; everything else waits until it ends. Open it with exec(); when it returns, the main window
// reloads its own tag boxes from its current file (filesWritten() says whether any file was written). The main window's
// current file is not touched here.
class MultiTagger final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MultiTagger)

public:
    // services.files and services.prompter must be set. startFolder is the
    // folder selected in the main window. recorder (may be null) receives a
    // step for every change of a box while it records, as the main window's
    // boxes do.
    MultiTagger(PlatformServices& services, Preferences& preferences, const QString& startFolder,
        QWidget* parent = nullptr, StepRecorder* recorder = nullptr);
    ~MultiTagger() override;

    // The folder FileList shows, with a trailing "/".
    QString folder() const { return m_folder; }
    // Shows folder in FTV and its files in FileList.
    void setFolder(const QString& folder);

    bool filesWritten() const { return m_filesWritten; }
    bool isRunning() const { return m_running; }
    // The folder of the undo journal (ending in "/"); the per-user data
    // folder unless set.
    void setUndoFolder(const QString& folder);
    TagPanel& panel() { return *m_panel; }

    // The button handlers.
    void allButtonClick();
    void readValuesClick();
    void setTagsButtonClick();
    void exitButtonClick();
    // Ends the running Set Tags after the current file.
    void stopButtonClick();
    // Puts back the tags of the files the last run (Set Tags or covers) changed.
    void undoRunButtonClick();
    // The cover runs (CoverBatch), into the MultiTagger's one journal.
    void coverImageClick();
    void folderCoverClick();
    void removeCoversClick();
    void shrinkCoversClick();

    // Sets "Width" (pixels), "Enabled" or "Text" of every text box and
    // drop-down list whose name starts with "ID3"; other names do nothing,
    // and a box that cannot take the value is skipped.
    void setBoxProperty(const QString& name, const QVariant& value);
    // Empties the boxes (Copyright keeps its selection) and clears every Included box.
    void clearBoxes();
    int countSelected() const;
    // Puts text into MTSB and paints it at once.
    void showStatus(const QString& text);

public slots:
    void reject() override;

private:
    void buildWindow();
    void fillFileList();
    void buildCoverGroup(QLayout* layout);
    MultiTagValues currentValues() const;
    // The paths of the selected files; empty, with a message, when none is.
    QStringList selectedPaths();
    // Shows the bar counting paths.size() files and disables the window;
    // the hooks keep it painted and hear Stop. endRun shows how it ended.
    MultiTagRunHooks startRun(const QStringList& paths);
    void endRun(const MultiTagRunReport& report, const QString& status);
    void runCovers(const CoverBatchRequest& request);
    QString pathOf(const QString& name) const;
    QString journalPath() const;
    void setRunning(bool running);
    // After a run: the bar tells how many files were written and failed.
    void showProgressResult(const MultiTagRunReport& report);
    void updateUndoButton();

    PlatformServices& m_services;
    Preferences& m_preferences;
    MultiTagWriter m_writer;
    TagPanelWidgets m_panelWidgets;
    TagPanel* m_panel = nullptr;
    std::array<QCheckBox*, kFieldCount> m_included {};
    QFileSystemModel* m_folderModel = nullptr;
    QTreeView* m_tree = nullptr;
    QListWidget* m_fileList = nullptr;
    QPushButton* m_allButton = nullptr;
    QToolButton* m_readValues = nullptr;
    QPushButton* m_setTags = nullptr;
    QPushButton* m_exitButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_undoButton = nullptr;
    QGroupBox* m_coverGroup = nullptr;
    QLineEdit* m_folderCoverPattern = nullptr;
    QSpinBox* m_shrinkPixels = nullptr;
    QSpinBox* m_shrinkQuality = nullptr;
    QProgressBar* m_progress = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QString m_folder;
    QString m_undoFolder;
    QElapsedTimer m_sinceEvents;
    bool m_running = false;
    bool m_stopRequested = false;
    bool m_filesWritten = false;
};
