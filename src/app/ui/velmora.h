#pragma once

#include "nameedit/nameedithost.h"
#include "tagedit/currentfile.h"
#include "tags/coverpicture.h"

#include <QKeySequence>
#include <QMainWindow>

#include <array>
#include <memory>

class TableRuns;
struct CoverBatchRequest;
class FileTable;
class FolderTree;
class MainMenus;
class ManyFilesReader;
class CommonTags;
class NameEditSession;
class NamePane;
class TagPane;
class TagPanel;
class Preferences;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QSplitter;
struct PlatformServices;
struct OpenRequest;

// The main window: folder tree, file list, name editor, tag panel. It holds
// the controls and forwards their events to the name editing engine, the
// tag layer and the platform services; start-up runs in the constructor and
// shut-down when the window is closed.
class Velmora final : public QMainWindow, public NameEditHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Velmora)

public:
    // services and preferences must outlive the window. helpFile is the full
    // path of velmora.html, opened by Help.
    Velmora(
        PlatformServices& services, Preferences& preferences, const QString& helpFile = {}, QWidget* parent = nullptr);
    ~Velmora() override;

    // Commands of the window (menus, toolbars, keys and tests call them).
    void selectFileEntry();
    void readMP3ID();
    void renameFile();
    void saveTags();
    void refreshTags();
    void removeTags();
    void deleteFiles();
    void playFile();
    // Writes every pending cell edit of the file table, in one undoable run.
    void saveEditedCells();
    // Moves the file list's selection by one entry, or to its first or last.
    enum class ListStep { Up, Down, First, Last };
    void selectFile(ListStep step);
    void folderChanged(const QString& folder);
    void enableFileControls(bool enabled);
    void setAllBoxProps(const QString& property, const QVariant& value);
    bool askYesNo(const QString& question);
    void setStatusText(const QString& text);
    void refreshFileList();
    // The Refresh command: lists the folder again and reads the selected
    // file again (asking first when the boxes hold unsaved changes), or
    // loads nothing when it is gone.
    void refreshFolder();
    // The folder shown has gone (removed or renamed by another program):
    // says so, with any unsaved tag changes, and shows its nearest
    // existing parent.
    void folderVanished(const QString& gone);
    void toggleToolbar();
    void showHelp();
    void showAbout();
    // Edit menu. Undo and Redo step through the new name's history while it
    // has the focus and through a text box's own history while one has it;
    // elsewhere Undo undoes the last tag save or removal.
    void undo();
    void redo();
    // Puts back the tags the last Save Tags or Remove Tags replaced, when
    // the file still holds exactly what that command wrote.
    void undoTagSave();
    // Reads the current file's tags again without writing to it.
    void rereadUnchanged();
    void showRead(const CurrentFile::Result& result);
    // The folder of the undo journals (ending in "/"); the per-user data
    // folder unless set.
    void setUndoFolder(const QString& folder);
    QString undoFolder() const { return m_undoFolder; }
    // Opens the folder of a start argument or a drop and selects its file.
    void open(const OpenRequest& request);
    // Names every run an earlier session left unfinished (killed, or the
    // machine stopped) and offers its undo; each is named once.
    void offerInterruptedUndos();

    // The folder listed by FileList, ending in "/".
    QString folder() const;
    const CurrentFile& currentFile() const { return m_file; }
    FileTable& fileTable() { return *m_fileTable; }
    // The files the tag panel shows together while several rows are
    // selected; none while one file (or none) is shown.
    const QStringList& manyFiles() const { return m_manyFiles; }
    // Whether their tags are still being read.
    bool readingMany() const;
    QString statusText() const;
    QAction* action(const QString& objectName) const;
    NameEditSession& session() { return *m_session; }
    TagPanel& tagPanel();
    // The file list's context menu (mnuFileSub).
    QMenu* fileListMenu() const;

    // NameEditHost
    QString fieldText(FieldId field) const override;
    bool setFieldText(FieldId field, const QString& text) override;
    QString currentFolder() const override { return folder(); }
    void showStatus(const QString& text) override { setStatusText(text); }
    void setRenameEnabled(bool enabled) override;
    void reloadTagFields() override { readMP3ID(); }
    void focusNewName() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Holds user input to this window back while a command runs, also while
    // its prompts wait for an answer.
    struct Busy {
        explicit Busy(Velmora& window)
            : w(window)
        {
            ++w.m_busy;
        }
        ~Busy() { --w.m_busy; }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;
        Velmora& w;
    };

    // Layout
    void buildControls();
    QWidget* buildFindFrame();
    // Menu entries and buttons to commands
    void connectCommands();
    void showFileListMenu(const QPoint& position);
    void runDialog(const QString& status, void (Velmora::*open)());
    void openMassRename();
    // Opens the mass rename window and undoes the run of undoJournal in it.
    void openMassRename(const QString& undoJournal);
    void openMultiTagger();
    void openOptions();
    void openFilters();
    void openPlaylist();
    void openFileInfo();
    // Keys
    bool handleWindowKey(int key, Qt::KeyboardModifiers modifiers);
    // The function keys handleWindowKey runs, with the object names of the
    // menu entries that show them.
    struct WindowKey {
        QKeySequence key;
        std::array<const char*, 2> actions;
    };
    static QList<WindowKey> windowKeys();
    // Folders and files dropped on the window
    void installFileDrop();
    // Start-up and shut-down
    void startUp();
    void saveSettings();
    void applyToolbarVisible(bool visible);
    // Selection
    // The row the window shows: the current one when highlighted, else
    // the shown file's while it stays highlighted; -1 for none.
    int highlightedRow() const;
    QString rowPath(int row) const;
    // Loads the highlighted entry when it is not the file shown, or shows
    // none when nothing is highlighted.
    void followSelection();
    void selectRow(int row);
    void showNoFile();
    // Asks, before the panel shows other files, whether to save what was
    // typed into it and not saved; Yes saves it.
    void settleTypedTags();
    // Several rows selected: the tag panel shows their common values.
    // Reads them off this thread; showManyRead shows what they share.
    void showMany(QStringList paths);
    void showManyRead(const CommonTags& common);
    // No longer many files shown: their read in progress is dropped.
    void dropMany();
    void saveMany();
    // Puts one cover into every selected file, or (nothing) takes every
    // picture out of them, in one undoable run.
    void changeManyCovers(const std::optional<CoverPicture>& cover);
    // The selected files' covers: each folder's cover file put in, or every
    // cover larger than the pixels asked for shrunk.
    void setFolderCovers();
    void shrinkCovers();
    // The table rows and the panel re-read after a run wrote these files.
    void showRewritten(const QStringList& paths);
    void runCovers(const QStringList& paths, const CoverBatchRequest& request);
    TableRuns tableRuns();
    // Asks whether to save the table's pending cell edits before they would
    // be lost.
    void settleEditedCells();
    // Asks once per selection whether to trash the zero-length file shown.
    void offerToTrashZeroLength();
    // Folder
    // False, after saying so and moving to its parent, when the folder
    // shown has gone.
    bool folderStillShown();
    // Lists the folder again and keeps the file shown highlighted; false
    // (and no file shown) when it is no longer listed.
    bool relist();
    // "Artist: typed" lines for every box that differs from the file's
    // last read; "" for none.
    QString unsavedTagsText() const;
    // Files
    void deleteRows(const QList<int>& rows);
    // Tags
    void showTags(const CurrentFile::Result& result);
    void showNothingLoaded();
    bool reportFailure(const CurrentFile::Result& result);

    PlatformServices& m_services;
    Preferences& m_prefs;
    CurrentFile m_file;
    QString m_helpFile;
    QString m_undoFolder;
    bool m_startedUp = false;
    bool m_loadingRow = false;
    NameEditSession* m_session = nullptr;
    NamePane* m_namePane = nullptr;
    TagPane* m_tagPane = nullptr;
    // Above zero while a command runs: user input to this window waits.
    int m_busy = 0;
    // Shown instead of "Ready" when the folder tree falls back after a
    // folder that cannot be listed or has gone.
    QString m_folderRefusal;
    // The zero-length file the trash question was asked for, while it
    // stays selected.
    QString m_zeroLengthAsked;

    QSplitter* m_splitter = nullptr;
    FolderTree* m_ftv = nullptr;
    FileTable* m_fileTable = nullptr;
    QStringList m_manyFiles;
    ManyFilesReader* m_manyReader = nullptr;
    QGroupBox* m_findFrame = nullptr;
    QLabel* m_status = nullptr;
    std::unique_ptr<MainMenus> m_menus;
};
