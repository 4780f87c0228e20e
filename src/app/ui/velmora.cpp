#include "velmora.h"

#include "aboutbox.h"
#include "app/openrequest.h"
#include "app/renamesequence.h"
#include "coverimage/coverimage.h"
#include "filedropfilter.h"
#include "fileexistsprompt.h"
#include "foldertree.h"
#include "mainmenus.h"
#include "massrename/runjournals.h"
#include "massrename/ui/massrenameform.h"
#include "nameedit/nameeditsession.h"
#include "nameedit/ui/namepane.h"
#include "platform/audiofiles.h"
#include "platform/launcher.h"
#include "platform/launcherror.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "platform/trash.h"
#include "platform/ui/buttonicons.h"
#include "platform/ui/caption.h"
#include "platform/version.h"
#include "playlist/ui/playlistform.h"
#include "settings/lastpath.h"
#include "settings/preferences.h"
#include "settings/ui/filterform.h"
#include "settings/ui/optionsform.h"
#include "settings/windowsize.h"
#include "tableruns.h"
#include "tagedit/coverbatch.h"
#include "tagedit/fileinforeport.h"
#include "tagedit/filesize.h"
#include "tagedit/foldercover.h"
#include "tagedit/manyfiles.h"
#include "tagedit/manyfilesreader.h"
#include "tagedit/multitagrun.h"
#include "tagedit/tablecolumns.h"
#include "tagedit/tagjournal.h"
#include "tagedit/ui/coverpane.h"
#include "tagedit/ui/filetable.h"
#include "tagedit/ui/multitagger.h"
#include "tagedit/ui/tagpane.h"
#include "tagedit/ui/tagpanel.h"
#include "tags/audiotag.h"
#include "tags/fieldcatalogue.h"
#include "text/texthelpers.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace {

const QString kTitle = QStringLiteral("Velmora");
const QString kCrLf = QStringLiteral("\r\n");

} // namespace

Velmora::Velmora(PlatformServices& services, Preferences& preferences, const QString& helpFile, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_prefs(preferences)
    , m_file(*services.files, services.prompter, preferences.options)
    , m_helpFile(helpFile)
{
    setObjectName(QStringLiteral("Velmora"));
    setWindowTitle(velmoraTitle());
    setUndoFolder(TagJournal::defaultFolder());
    m_session = new NameEditSession(m_prefs, *this, this);
    m_manyReader = new ManyFilesReader(this);
    connect(m_manyReader, &ManyFilesReader::finished, this, &Velmora::showManyRead);
    connect(m_manyReader, &ManyFilesReader::progress, this, [this](int done, int total) {
        setStatusText(QStringLiteral("Reading The Tags Of ") + QString::number(total) + QStringLiteral(" Files: ")
            + QString::number(done) + QStringLiteral(" Read"));
    });
    buildControls();
    m_menus = std::make_unique<MainMenus>(
        *this, MainMenus::PaneBars { m_namePane->editBar(), m_tagPane->tagBar(), m_namePane->syncBar() });
    connectCommands();
    qApp->installEventFilter(this);
    installFileDrop();
    startUp();
}

Velmora::~Velmora()
{
    qApp->removeEventFilter(this);
}

void Velmora::buildControls()
{
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusText"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(m_status, 1);

    auto* splitter = m_splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("MainSplitter"));
    splitter->addWidget(buildFindFrame());
    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    m_namePane = new NamePane(*m_session, *m_services.prompter);
    m_namePane->renameButton()->setIcon(buttonIcon(QStringLiteral("Rename")));
    connect(m_namePane, &NamePane::renameRequested, this, &Velmora::renameFile);
    rightLayout->addWidget(m_namePane, 1);
    m_tagPane = new TagPane(m_services, *m_session);
    // The pictures go into the file with the boxes, at Save.
    connect(&m_tagPane->coverPane(), &CoverPane::picturesEdited, this,
        [this](const QList<CoverPicture>& pictures) { m_file.setPendingPictures(pictures); });
    connect(&m_tagPane->coverPane(), &CoverPane::coverForAllRequested, this,
        [this](const CoverPicture& picture) { changeManyCovers(picture); });
    connect(&m_tagPane->coverPane(), &CoverPane::removeAllRequested, this, [this] { changeManyCovers(std::nullopt); });
    rightLayout->addWidget(m_tagPane, 1);
    splitter->addWidget(right);
    // Share width by stretch alone, so that both sides grow with the window.
    for (int i = 0; i < 2; ++i) {
        QSizePolicy policy = splitter->widget(i)->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Ignored);
        policy.setHorizontalStretch(i == 0 ? 2 : 3);
        splitter->widget(i)->setSizePolicy(policy);
    }
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
}

QWidget* Velmora::buildFindFrame()
{
    m_findFrame = new QGroupBox(QStringLiteral("Current Directory: "));
    m_findFrame->setObjectName(QStringLiteral("FindFrame"));
    m_ftv = new FolderTree;
    m_fileTable = new FileTable;

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(m_ftv);
    split->addWidget(m_fileTable);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    (new QVBoxLayout(m_findFrame))->addWidget(split);
    // Tab goes from the folders to their files; the filter box comes after.
    QWidget::setTabOrder(m_ftv, m_fileTable->view());

    connect(m_ftv, &FolderTree::folderChanged, this, &Velmora::folderChanged);
    // A mouse press moves the current row first and the highlight after,
    // Tab moves only the current row: the file follows both, and loads
    // once its row is highlighted.
    connect(m_fileTable, &FileTable::selectionChanged, this, &Velmora::followSelection);
    connect(m_ftv, &FolderTree::folderVanished, this, &Velmora::folderVanished);
    connect(m_fileTable, &FileTable::activated, this, [this](int) { openFileInfo(); });
    connect(m_fileTable, &FileTable::contextMenuAt, this, &Velmora::showFileListMenu);
    connect(m_fileTable, &FileTable::folderChangedOnDisk, this, [this] {
        if (m_busy > 0)
            return; // a command of this window changes the folder itself
        // The file shown stays shown, with what was typed for it; Refresh
        // reads it again.
        m_loadingRow = true;
        m_fileTable->relist();
        m_loadingRow = false;
    });
    return m_findFrame;
}

QString Velmora::fieldText(FieldId field) const
{
    return m_tagPane->panel().text(field);
}

bool Velmora::setFieldText(FieldId field, const QString& text)
{
    m_tagPane->panel().setText(field, text);
    return m_tagPane->panel().text(field) == text;
}

void Velmora::setRenameEnabled(bool enabled)
{
    m_namePane->renameButton()->setEnabled(enabled);
}

void Velmora::focusNewName()
{
    m_namePane->newName()->setFocus(Qt::OtherFocusReason);
}

void Velmora::setStatusText(const QString& text)
{
    m_status->setText(text);
    m_status->repaint();
}

QString Velmora::statusText() const
{
    return m_status->text();
}

void Velmora::setUndoFolder(const QString& folder)
{
    m_undoFolder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    m_file.setJournal(TagJournal::tagSaveJournal(m_undoFolder));
}

QAction* Velmora::action(const QString& objectName) const
{
    return m_menus->action(objectName);
}

bool Velmora::readingMany() const
{
    return m_manyReader->reading();
}

TagPanel& Velmora::tagPanel()
{
    return m_tagPane->panel();
}

QMenu* Velmora::fileListMenu() const
{
    return m_menus->fileListMenu();
}

QString Velmora::folder() const
{
    return m_ftv->path();
}

// The menu entries and buttons connected to the window's commands.
void Velmora::connectCommands()
{
    const auto on = [this](const char* name, std::function<void()> command) {
        connect(m_menus->action(QLatin1String(name)), &QAction::triggered, this, std::move(command));
    };
    on("mnuRenameFile", [this] { renameFile(); });
    for (const QString& suffix : { QString(), QStringLiteral("2") }) {
        const auto twin = [&](const char* name, std::function<void()> command) {
            connect(m_menus->action(QLatin1String(name) + suffix), &QAction::triggered, this, std::move(command));
        };
        twin("mnuDeleteFile", [this] { deleteFiles(); });
        twin("mnuPlayFile", [this] { playFile(); });
        twin("mnuFileInfo", [this] { openFileInfo(); });
        twin("mnuSaveID3", [this] { saveTags(); });
        twin("mnuRefreshTags", [this] { refreshTags(); });
        twin("mnuStripTags", [this] { removeTags(); });
        twin("mnuRefreshFolder", [this] {
            setStatusText(QStringLiteral("Refreshed File Listing"));
            refreshFolder();
        });
        twin("mnuCreatePlaylist",
            [this] { runDialog(QStringLiteral("Loading PlayList Creator"), &Velmora::openPlaylist); });
    }
    on("mnuExit", [this] { close(); });
    on("mnuMassRename", [this] { runDialog(QStringLiteral("Running Mass Renaming"), &Velmora::openMassRename); });
    on("mnuMultiTagger", [this] {
        runDialog(QStringLiteral("Running MultiTagger"), &Velmora::openMultiTagger);
        // Its run or undo may have changed the file; reading it back
        // writes nothing, so an undo's times and bytes stay.
        rereadUnchanged();
    });
    on("mnuOptions", [this] { runDialog(QStringLiteral("Setting Options"), &Velmora::openOptions); });
    on("mnuFilters", [this] { runDialog(QStringLiteral("Managing Filters"), &Velmora::openFilters); });
    on("mnuToolbarToggle", [this] { toggleToolbar(); });
    on("mnuLoadHelp", [this] { showHelp(); });
    on("mnuAbout", [this] { showAbout(); });
    on("mnuUndo", [this] { undo(); });
    on("mnuRedo", [this] { redo(); });
    on("mnuUndoTagSave", [this] { undoTagSave(); });
    on("mnuSelectAllFiles", [this] { m_fileTable->view()->selectAll(); });
    on("mnuSaveCells", [this] { saveEditedCells(); });
    on("mnuCopyCells", [this] { m_fileTable->copyCells(); });
    on("mnuPasteCells", [this] { m_fileTable->pasteCells(); });
    on("mnuFolderCovers", [this] { setFolderCovers(); });
    on("mnuShrinkCovers", [this] { shrinkCovers(); });
    on("Refresh", [this] { refreshFolder(); });

    const std::pair<const char*, NamePane::Command> edits[] = {
        { "UC", NamePane::Command::UpperCase },
        { "LC", NamePane::Command::LowerCase },
        { "TC", NamePane::Command::TitleCase },
        { "Parens", NamePane::Command::Parens },
        { "Periods", NamePane::Command::Periods },
        { "RepeatEdit", NamePane::Command::RepeatEdit },
        { "Sync", NamePane::Command::NameFromTags },
        { "SBSync", NamePane::Command::TagsFromName },
        { "SBDelete", NamePane::Command::RemoveFormat },
        { "mnuInsertSDS", NamePane::Command::InsertSDS },
        { "mnuRemoveSDS", NamePane::Command::RemoveSDS },
    };
    for (const auto& [name, command] : edits)
        on(name, [this, command = command] { m_namePane->run(command); });

    const std::pair<const char*, void (Velmora::*)()> tagCommands[] = {
        { "SaveTags", &Velmora::saveTags },
        { "ReRead", &Velmora::refreshTags },
        { "RemoveTags", &Velmora::removeTags },
    };
    for (const auto& [name, command] : tagCommands) {
        on(name, [this, command = command] {
            m_namePane->renameButton()->setFocus(Qt::OtherFocusReason);
            (this->*command)();
        });
    }

    QList<std::pair<QKeySequence, QStringList>> keys;
    for (const WindowKey& k : windowKeys()) {
        QStringList names;
        for (const char* name : k.actions)
            if (name)
                names << QLatin1String(name);
        keys.append({ k.key, names });
    }
    m_menus->showWindowKeys(keys);
}

void Velmora::showFileListMenu(const QPoint& position)
{
    if (m_fileTable->selectedRows().isEmpty())
        return;
    m_menus->fileListMenu()->popup(position);
}

void Velmora::runDialog(const QString& status, void (Velmora::*open)())
{
    setStatusText(status);
    (this->*open)();
    setStatusText(QStringLiteral("Ready"));
}

// Start-up and shut-down of the main window: what it restores from the
// settings and what it stores when it closes, plus the toolbar toggle.

namespace {

// The designed size is also the smallest the window may get.
const QSize kDesignSize(900, 640);

} // namespace

void Velmora::startUp()
{
    setStatusText(QStringLiteral("Retrieving Settings..."));
    SettingsStore& store = m_prefs.store;
    m_prefs.loadOptions();
    m_session->loadFormats();
    m_prefs.loadFilters();
    m_namePane->showFormats();

    setStatusText(QStringLiteral("Ready"));
    enableFileControls(false);

    applyToolbarVisible(store.getOption(QStringLiteral("ToolBar"), QStringLiteral("On")) == QLatin1String("On"));

    const QSize design = minimumSizeHint().expandedTo(kDesignSize);
    resize(design);
    setMinimumSize(design);
    if (leadingNumber(store.getOption(QStringLiteral("Was Max"), QStringLiteral("0"))) == 0) {
        resize(restoredWindowSize(store, design, screen()->availableGeometry().size()));
    } else {
        setWindowState(windowState() | Qt::WindowMaximized);
    }

    // Folders and files take two fifths of the width, the editor the rest.
    m_splitter->setSizes({ 2 * width() / 5, 3 * width() / 5 });

    m_namePane->showRecording();
    m_fileTable->setColumns(tableColumnsFromText(store.getOption(QStringLiteral("Table Columns"), QString())));
    const QString last = getLastPath(store, QStringLiteral("Last Path"));
    if (!m_ftv->setPath(last))
        folderChanged(last);
    m_startedUp = true;
    m_prefs.saveSettings(*m_services.prompter);
}

void Velmora::saveSettings()
{
    setStatusText(QStringLiteral("Saving Settings"));
    SettingsStore& store = m_prefs.store;
    store.saveOption(QStringLiteral("Last Path"), trimSpaces(folder()));
    store.saveOption(QStringLiteral("Last Format"), QString::number(m_session->formats().currentIndex()));
    m_session->saveFormats();
    store.saveOption(QStringLiteral("Table Columns"), tableColumnsText(m_fileTable->columns()));
    store.saveOption(QStringLiteral("Was Max"), isMaximized() ? QStringLiteral("1") : QStringLiteral("0"));
    store.saveOption(
        QStringLiteral("ToolBar"), !m_menus->quickAccessVisible() ? QStringLiteral("Off") : QStringLiteral("On"));
    store.saveOption(QStringLiteral("Last Width"), QString::number(width()));
    store.saveOption(QStringLiteral("Last Height"), QString::number(height()));
}

void Velmora::closeEvent(QCloseEvent* event)
{
    if (m_startedUp) {
        settleEditedCells();
        saveSettings();
        m_prefs.saveSettings(*m_services.prompter);
    }
    event->accept();
}

void Velmora::applyToolbarVisible(bool visible)
{
    m_menus->setQuickAccessVisible(visible);
}

void Velmora::toggleToolbar()
{
    applyToolbarVisible(!m_menus->quickAccessVisible());
}

void Velmora::showHelp()
{
    setStatusText(QStringLiteral("Showing Help File"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int result = m_services.launcher->open(m_helpFile);
    QApplication::restoreOverrideCursor();
    if (result != 0)
        m_services.prompter->message(QStringLiteral("Velmora"), launchFailureText(result, m_helpFile), MsgIcon::None);
    setStatusText(QStringLiteral("Ready"));
}

void Velmora::showAbout()
{
    setStatusText(QStringLiteral("Showing Information About This Program"));
    AboutBox box(this);
    box.exec();
    setStatusText(QStringLiteral("Ready"));
}

// Opening a folder or an MP3 file named on the command line or dropped on
// the window.

void Velmora::installFileDrop()
{
    setAcceptDrops(true);
    qApp->installEventFilter(new FileDropFilter(this, [this](const OpenRequest& request) { open(request); }));
}

void Velmora::open(const OpenRequest& request)
{
    if (m_busy > 0)
        return;
    if (!request.isEmpty()) {
        if (!m_ftv->setPath(request.folder))
            folderChanged(request.folder);
        const int row = request.file.isEmpty() || withTrailingSlash(folder()) != request.folder
            ? -1
            : m_fileTable->rowOfName(request.file);
        if (row >= 0)
            selectRow(row);
    }
    if (!request.refused.isEmpty())
        setStatusText(QStringLiteral("Cannot Open: ") + request.refused.first());
}

// What a session that ended abruptly left behind: runs without their
// closing record, named at the next start with an offer to undo them.

void Velmora::offerInterruptedUndos()
{
    for (const InterruptedRun& run : interruptedRuns(m_undoFolder)) {
        const bool undo = askYesNo(interruptedRunText(run.changes) + kCrLf + kCrLf + run.journalPath + kCrLf + kCrLf
            + QStringLiteral("Undo It Now"));
        // Named once: later its undo stays on offer in the mass rename window.
        noteInterruptedRun(run);
        if (undo)
            openMassRename(run.journalPath);
    }
    const struct {
        QString journal;
        QString what;
    } tagRuns[] = {
        { TagJournal::multiTaggerJournal(m_undoFolder), QStringLiteral("The Last MultiTagger Run") },
        { TagJournal::tagSaveJournal(m_undoFolder), QStringLiteral("The Last Tag Save Or Removal") },
    };
    for (const auto& run : tagRuns) {
        const TagJournalSummary summary = summarizeTagJournal(run.journal);
        if (!summary.interrupted || summary.noted || summary.inUse)
            continue;
        // The copies a killed rewrite left go whatever the answer: the next
        // run replaces the journal that leads to them.
        removeTagJournalLeftovers(run.journal);
        const bool undo = summary.changes > 0
            && askYesNo(tagJournalInterruptedText(summary, run.what) + kCrLf + kCrLf + run.journal + kCrLf + kCrLf
                + QStringLiteral("Undo It Now"));
        markTagJournalNoted(run.journal);
        if (!undo)
            continue;
        const TagUndoReport report = undoTagJournal(run.journal);
        const QString problems = tagUndoProblemsText(report);
        if (!problems.isEmpty())
            m_services.prompter->message(QStringLiteral("Velmora"), problems, MsgIcon::Exclamation);
        setStatusText(run.what + QStringLiteral(" Undone: ") + QString::number(report.restored.size())
            + QStringLiteral(" Files Restored"));
    }
}

// The dialogs the main window opens from its menus and toolbars. Each is
// modal; the menu handlers around them show the status texts.

// The windows that work on the folder shown never open on a folder that
// has gone: the user hears of it, and sees its parent, first.
void Velmora::openMassRename()
{
    if (folderStillShown())
        openMassRename(QString());
}

void Velmora::openMassRename(const QString& undoJournal)
{
    MassRenameForm form(
        m_services, m_prefs, folder(), [this] { openOptions(); }, [this] { openFilters(); }, this);
    form.engine().setLogFolder(m_undoFolder);
    if (!undoJournal.isEmpty())
        QTimer::singleShot(0, &form, [&form, undoJournal] { form.undoJournalNow(undoJournal); });
    form.exec();
    // The run may have renamed the listed files: list the folder afresh,
    // unless it has gone meanwhile (then its parent is listed, and said).
    if (folderStillShown())
        folderChanged(folder());
}

void Velmora::openMultiTagger()
{
    if (!folderStillShown())
        return;
    MultiTagger form(m_services, m_prefs, folder(), this, &m_session->recorder());
    form.setUndoFolder(m_undoFolder);
    form.exec();
}

void Velmora::openOptions()
{
    const int before = m_session->formats().currentIndex();
    const ListedFormats listedBefore = listedFormats(m_prefs.options);
    {
        OptionsForm form(
            m_services, m_prefs, m_session->formats(), [this] { m_namePane->showFormats(); }, this);
        form.exec();
    }
    m_namePane->showFormats();
    // "MP3 Files Only" changes what the file list shows.
    if (listedFormats(m_prefs.options) != listedBefore && folderStillShown())
        relist();
    // Re-selecting the mask re-runs the automatic synchronisation.
    if (m_namePane->formatList()->isEnabled() && before >= 0 && before < m_session->formats().count())
        m_session->formatListClicked(before);
}

void Velmora::openFilters()
{
    FilterForm form(m_services, m_prefs, this);
    form.exec();
}

void Velmora::openPlaylist()
{
    if (!folderStillShown())
        return;
    PlaylistForm form(m_services, folder(), listedFormats(m_prefs.options), this);
    form.exec();
}

void Velmora::openFileInfo()
{
    if (!m_file.isLoaded())
        return;
    showFileInfoReport(*m_services.prompter, m_file.path(), m_file.tag());
}

// The folder the main window shows: listing it, refreshing it, and what
// happens when another program removes or renames it while it is shown.

void Velmora::refreshFileList()
{
    m_loadingRow = true;
    m_fileTable->setFolder(folder(), listedFormats(m_prefs.options), m_prefs.options);
    m_loadingRow = false;
}

void Velmora::folderChanged(const QString& newFolder)
{
    // Called for another folder than the tree shows: move the tree, which
    // reports the change back here.
    if (withTrailingSlash(newFolder) != m_ftv->path() && m_ftv->setPath(newFolder))
        return;
    const QFileInfo info(newFolder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable()) {
        const QString refusal = QStringLiteral("Cannot Change Folder To: ") + newFolder;
        setStatusText(refusal);
        const QString fallback = withTrailingSlash(QDir::homePath());
        if (withTrailingSlash(newFolder) == fallback)
            return;
        // Once the click that chose the folder is over (it still selects the
        // row it hit), the tree moves to the folder that is listed instead,
        // and the message stays.
        QTimer::singleShot(0, this, [this, refusal, fallback] {
            m_folderRefusal = refusal;
            if (!m_ftv->setPath(fallback))
                folderChanged(fallback);
            m_folderRefusal.clear();
        });
        return;
    }
    // Edits typed into another folder's cells are not dropped unasked.
    settleEditedCells();
    refreshFileList();
    m_findFrame->setTitle(QStringLiteral("Current Directory: ") + captionText(newFolder));
    setStatusText(m_folderRefusal.isEmpty() ? QStringLiteral("Ready") : m_folderRefusal);
    showNoFile();
}

bool Velmora::folderStillShown()
{
    if (folder().isEmpty() || QFileInfo(folder()).isDir())
        return true;
    folderVanished(folder());
    return false;
}

QString Velmora::unsavedTagsText() const
{
    if (!m_file.isLoaded())
        return QString();
    const TagTexts typed = m_tagPane->texts();
    QStringList lines;
    for (int i = 0; i < kFieldCount; ++i)
        if (typed[size_t(i)] != m_file.texts()[size_t(i)])
            lines << QString::fromLatin1(fieldInfo(i).name) + QStringLiteral(": ") + typed[size_t(i)];
    if (m_file.picturesChanged())
        lines << QStringLiteral("Pictures: Changed");
    return lines.join(kCrLf);
}

void Velmora::folderVanished(const QString& gone)
{
    // Not in the middle of a command: it ends first, then hears of it.
    if (m_busy > 0) {
        QTimer::singleShot(100, this, [this, gone] { folderVanished(gone); });
        return;
    }
    if (withTrailingSlash(gone) != folder() || QFileInfo(gone).isDir())
        return; // the window has moved on, or the folder is back
    const QString unsaved = unsavedTagsText();
    const QString fileName = m_file.name();
    const QString shown = nearestExistingFolder(gone);
    m_folderRefusal = QStringLiteral("Folder No Longer Exists: ") + gone;
    if (!m_ftv->setPath(shown))
        folderChanged(shown);
    m_folderRefusal.clear();
    QString text = QStringLiteral("The Folder Shown Was Removed Or Renamed By Another Program:") + kCrLf + kCrLf + gone
        + kCrLf + kCrLf + QStringLiteral("Now Showing:") + kCrLf + kCrLf + folder();
    if (!unsaved.isEmpty()) {
        // The file went with its folder: what was typed for it is told, so
        // that it is not lost without a word.
        text += kCrLf + kCrLf + QStringLiteral("These Tags Typed For '") + fileName
            + QStringLiteral("' Were Not Saved:") + kCrLf + kCrLf + unsaved;
    }
    m_services.prompter->message(kTitle, text, MsgIcon::Exclamation);
}

bool Velmora::relist()
{
    const QString name = m_file.isEmpty() ? QString() : m_file.name();
    m_loadingRow = true;
    m_fileTable->relist();
    m_loadingRow = false;
    const int row = name.isEmpty() ? -1 : m_fileTable->rowOfName(name);
    if (row < 0) {
        showNoFile();
        return false;
    }
    m_loadingRow = true;
    m_fileTable->selectOnly(row);
    m_loadingRow = false;
    return true;
}

void Velmora::refreshFolder()
{
    if (!folderStillShown() || !relist())
        return;
    // The file stays selected and is read again: another program may have
    // changed it. Nothing is written to it.
    if (!m_file.isLoaded()) {
        // Empty or unreadable when it was chosen: chosen again.
        selectFileEntry();
        return;
    }
    const QString unsaved = unsavedTagsText();
    if (!unsaved.isEmpty()) {
        const Busy busy(*this);
        const QString question = QStringLiteral("The Tags Shown For '") + m_file.path()
            + QStringLiteral("' Hold Changes That Are Not Saved:") + kCrLf + kCrLf + unsaved + kCrLf + kCrLf
            + QStringLiteral("Read The File Again And Drop These Changes?");
        if (!m_services.prompter->askYesNo(kTitle, question, MsgIcon::Question, Answer::No))
            return;
    }
    rereadUnchanged();
}

// File commands of the main window: renaming, deleting and playing the
// file shown, and enabling what needs one.

namespace {

QString errorText(const FileError& e)
{
    return e.description + QStringLiteral(" (") + QString::number(e.number) + QLatin1Char(')');
}

} // namespace

bool Velmora::askYesNo(const QString& question)
{
    return m_services.prompter->askYesNo(kTitle, trimSpaces(question) + QLatin1Char('?'), MsgIcon::Question);
}

void Velmora::enableFileControls(bool enabled)
{
    for (const char* name : { "Rename", "Play", "Delete", "SaveTags", "ReRead", "RemoveTags", "mnuRenameFile",
             "mnuDeleteFile", "mnuPlayFile", "mnuFileInfo", "mnuSaveID3", "mnuRefreshTags", "mnuStripTags",
             "mnuDeleteFile2", "mnuPlayFile2", "mnuFileInfo2", "mnuSaveID32", "mnuRefreshTags2", "mnuStripTags2",
             "mnuInsertSDS", "mnuRemoveSDS" })
        m_menus->action(QLatin1String(name))->setEnabled(enabled);
    m_namePane->setFileControlsEnabled(enabled);
    m_tagPane->setFileControlsEnabled(enabled);
}

void Velmora::setAllBoxProps(const QString& property, const QVariant& value)
{
    m_tagPane->setAllBoxProps(property, value);
}

void Velmora::renameFile()
{
    const int row = highlightedRow();
    QString nextName;
    if (row >= 0 && row < m_fileTable->count() - 1)
        nextName = m_fileTable->nameAt(row + 1);
    FileExistsPrompt existingTarget(this);
    RenameSequence sequence(*m_services.files, *m_services.trash, *m_services.prompter, existingTarget,
        [this](const QString& text) { setStatusText(text); });
    // Only a loaded file is renamed: never a zero-length or vanished one.
    if (!sequence.mayStart(m_file.isLoaded() ? m_file.name() : QString(), m_session->editor().text()))
        return;
    // From here to the end no user input runs: the current file's path is
    // changing, and the prompts below wait for their own answers only.
    const Busy busy(*this);
    setStatusText(QStringLiteral("Renaming File..."));
    if (m_prefs.options.syncOption == SyncMode::NameToTags)
        m_session->updateInternal();
    // The current file stays the source until the rename has happened, so
    // that a later tag save cannot write into the file that holds the new name.
    const QString target = sequence.run(m_file.path(), m_session->editor().text());
    if (target.isEmpty())
        return;

    m_fileTable->model().edits().renamed(m_file.path(), target);
    m_file.renamed(target);
    if (m_prefs.options.id3AutoSave == 1) {
        setStatusText(QStringLiteral("Saving ID3 Tags..."));
        saveTags();
    } else {
        setStatusText(QStringLiteral("ID3 Tags Not Saved As Indicated In Options"));
    }
    refreshFileList();
    setStatusText(QStringLiteral("Rename Complete."));
    int nextRow = m_fileTable->count() - 1;
    if (!nextName.isEmpty()) {
        for (int i = 0; i < m_fileTable->count(); ++i) {
            if (trimSpaces(m_fileTable->nameAt(i)) == nextName) {
                nextRow = i;
                break;
            }
        }
    }
    selectRow(nextRow);
    setStatusText(QStringLiteral("Ready"));
}

void Velmora::deleteFiles()
{
    deleteRows(m_fileTable->selectedRows());
}

void Velmora::deleteRows(const QList<int>& rows)
{
    if (rows.isEmpty())
        return;
    const Busy busy(*this);
    // The question names what goes: the one file, or how many when several
    // entries are highlighted.
    const QString question = rows.size() == 1
        ? QStringLiteral("Delete '") + rowPath(rows.first()) + QStringLiteral("' To The Trash?")
        : QStringLiteral("Delete The %1 Selected Files To The Trash?").arg(rows.size());
    if (!m_services.prompter->askYesNo(kTitle, question))
        return;
    int lastHandled = -1;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        const QString name = m_fileTable->nameAt(*it);
        const QString path = withTrailingSlash(folder()) + name;
        setStatusText(QStringLiteral("Moving File ") + name + QStringLiteral(" To Trash..."));
        // The trash takes a file whatever its mode: the mode stays as it is.
        FileError error;
        if (!m_services.trash->moveToTrash(path, &error)) {
            m_services.prompter->message(kTitle,
                QStringLiteral("Error Occured: ") + errorText(error) + QStringLiteral("\r\n\r\n") + path,
                MsgIcon::Critical);
            setStatusText(QStringLiteral("Operation Cancelled"));
            // Files already in the trash must not stay listed or loaded.
            if (it != rows.crbegin())
                relist();
            return;
        }
        lastHandled = *it;
    }
    setStatusText(QStringLiteral("Refreshing Directory..."));
    refreshFileList();
    setStatusText(QStringLiteral("Ready"));
    if (m_fileTable->count() == 0) {
        showNoFile();
        return;
    }
    selectRow(m_fileTable->count() > lastHandled ? lastHandled : m_fileTable->count() - 1);
}

void Velmora::playFile()
{
    if (highlightedRow() < 0) {
        m_services.prompter->message(
            kTitle, QStringLiteral("Please Select A File To Play First!"), MsgIcon::Exclamation);
        m_fileTable->view()->setFocus(Qt::OtherFocusReason);
        return;
    }
    setStatusText(QStringLiteral("Attempting To Play File In Default MP3 Player..."));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int result = m_services.launcher->open(m_file.path());
    QApplication::restoreOverrideCursor();
    if (result != 0)
        m_services.prompter->message(kTitle, launchFailureText(result, m_file.path()), MsgIcon::None);
    setStatusText(QStringLiteral("Ready"));
}

// Which file the main window shows: the file list's highlighted entry, by
// mouse, keyboard or Tab alike. Nothing is loaded for an entry that is not
// highlighted, and every command acts on the file that is shown.

int Velmora::highlightedRow() const
{
    // A mouse press moves the current row before the highlight follows,
    // and focus reaching the table by Tab makes its first row current
    // without highlighting it: the current row counts once highlighted.
    const int current = m_fileTable->currentRow();
    if (current >= 0 && m_fileTable->isRowSelected(current))
        return current;
    if (m_file.isEmpty() || withTrailingSlash(folder()) + m_file.name() != m_file.path())
        return -1;
    const int shown = m_fileTable->rowOfName(m_file.name());
    return shown >= 0 && m_fileTable->isRowSelected(shown) ? shown : -1;
}

QString Velmora::rowPath(int row) const
{
    return row >= 0 ? withTrailingSlash(folder()) + m_fileTable->nameAt(row) : QString();
}

void Velmora::followSelection()
{
    if (m_loadingRow)
        return;
    const QStringList selected = m_fileTable->selectedPaths();
    if (selected.size() > 1) {
        if (selected != m_manyFiles) {
            settleTypedTags();
            showMany(selected);
        }
        return;
    }
    const int row = highlightedRow();
    if (m_manyFiles.isEmpty() && rowPath(row) == m_file.path())
        return;
    settleTypedTags();
    dropMany();
    if (row >= 0) {
        selectFileEntry();
        return;
    }
    showNoFile();
}

void Velmora::settleTypedTags()
{
    const bool many = !m_manyFiles.isEmpty();
    const MultiTagValues changed = m_tagPane->manyChanges();
    const bool manyChanged
        = many && std::any_of(changed.included.begin(), changed.included.end(), [](bool on) { return on; });
    const QString unsaved = many ? QString() : unsavedTagsText();
    if (!manyChanged && unsaved.isEmpty())
        return;
    const QString what = many ? QString::number(m_manyFiles.size()) + QStringLiteral(" Selected Files")
                              : QLatin1Char('\'') + m_file.name() + QLatin1Char('\'');
    QString question = QStringLiteral("The Tags Typed For ") + what + QStringLiteral(" Are Not Saved.");
    if (!unsaved.isEmpty())
        question += kCrLf + kCrLf + unsaved;
    question += kCrLf + kCrLf + QStringLiteral("Save Them Before Moving On? No Drops Them.");
    const Busy busy(*this);
    m_loadingRow = true; // the question's own events change no selection here
    const bool save = m_services.prompter->askYesNo(QStringLiteral("Velmora"), question, MsgIcon::Question);
    m_loadingRow = false;
    if (save)
        saveTags();
}

void Velmora::showMany(QStringList paths)
{
    showNoFile();
    m_manyFiles = std::move(paths);
    // Nothing is shown, and nothing can be typed, until every file is read.
    m_tagPane->keepShownAsUnchanged();
    const QString count = QString::number(m_manyFiles.size());
    m_namePane->setTitle(count + QStringLiteral(" Files Selected"));
    setStatusText(QStringLiteral("Reading The Tags Of ") + count + QStringLiteral(" Files"));
    m_manyReader->start(m_manyFiles, m_prefs.options);
}

void Velmora::showManyRead(const CommonTags& common)
{
    m_tagPane->showMany(common, folder());
    for (const char* action : { "SaveTags", "mnuSaveID3", "mnuSaveID32", "Delete", "mnuDeleteFile", "mnuDeleteFile2" })
        m_menus->action(QLatin1String(action))->setEnabled(true);
    setStatusText(QString::number(m_manyFiles.size()) + QStringLiteral(" Files Selected"));
}

void Velmora::dropMany()
{
    m_manyReader->stop();
    m_manyFiles.clear();
}

void Velmora::showNoFile()
{
    // A read of many files still going would show them again.
    dropMany();
    m_zeroLengthAsked.clear();
    m_file.clear();
    m_namePane->oldName()->clear();
    showNothingLoaded();
}

void Velmora::selectRow(int row)
{
    // The entry shown is the only one highlighted, so that a later Delete
    // takes exactly it.
    m_loadingRow = true;
    m_fileTable->selectOnly(row);
    m_fileTable->scrollToRow(row);
    m_loadingRow = false;
    dropMany();
    selectFileEntry();
}

void Velmora::selectFileEntry()
{
    const int row = highlightedRow();
    const QString name = row >= 0 ? m_fileTable->nameAt(row) : QString();
    m_namePane->oldName()->setText(name);
    if (name.isEmpty())
        return;
    const QString path = rowPath(row);
    if (path != m_zeroLengthAsked)
        m_zeroLengthAsked.clear();
    const CurrentFile::Result loaded = m_file.load(path);
    if (!m_file.isLoaded()) {
        // Nothing of the file before stays, and nothing can act on this one.
        showTags(loaded);
        if (m_file.length() == 0) {
            // Deleting is all that can be done with it, now or later.
            for (const char* action : { "Delete", "mnuDeleteFile", "mnuDeleteFile2" })
                m_menus->action(QLatin1String(action))->setEnabled(true);
            if (m_zeroLengthAsked != path) {
                m_zeroLengthAsked = path;
                // Once the input that chose it is over, so that the question
                // and a delete meet the list as the user left it.
                QTimer::singleShot(0, this, &Velmora::offerToTrashZeroLength);
            }
        } else {
            reportFailure(loaded);
        }
        return;
    }
    enableFileControls(true);
    m_session->parts().clear();
    setStatusText(QStringLiteral("Formating Selected File"));
    m_session->loadNameParts(name);
    showTags(loaded);
    reportFailure(loaded);
    setStatusText(QStringLiteral("Ready"));
    m_session->autoSync();
    // The name's history starts with the name as the file was loaded.
    m_session->resetNameHistory();
    focusNewName();
}

void Velmora::offerToTrashZeroLength()
{
    // Not while a button is held or a command waits for an answer: the
    // question comes when the window is the user's again.
    if (m_busy > 0 || QGuiApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(50, this, &Velmora::offerToTrashZeroLength);
        return;
    }
    const int row = highlightedRow();
    // The selection moved on, or the file was loaded after all.
    if (m_zeroLengthAsked.isEmpty() || rowPath(row) != m_zeroLengthAsked || m_file.path() != m_zeroLengthAsked
        || m_file.isLoaded())
        return;
    const QString question = QStringLiteral("Error: Zero-Length File Selected!") + kCrLf + kCrLf
        + QStringLiteral("File Cannot Be Edited.") + kCrLf + kCrLf
        + QStringLiteral("Move The Selected File To The Trash?");
    const Busy busy(*this);
    if (m_services.prompter->askYesNo(QStringLiteral("Velmora"), question, MsgIcon::Critical, Answer::No))
        deleteRows({ row });
}

void Velmora::selectFile(ListStep step)
{
    const int count = m_fileTable->count();
    if (count == 0)
        return;
    // From the row shown; with none, Down and Up start before the first.
    int row = highlightedRow();
    switch (step) {
    case ListStep::Up:
        if (row > 0)
            --row;
        break;
    case ListStep::Down:
        if (row < count - 1)
            ++row;
        break;
    case ListStep::First:
        row = 0;
        break;
    case ListStep::Last:
        row = count - 1;
        break;
    }
    if (row < 0)
        return;
    if (rowPath(row) != m_file.path())
        settleTypedTags();
    selectRow(row);
}

// The window's own keys, before the focused control's, and input held
// back while a command runs.
QList<Velmora::WindowKey> Velmora::windowKeys()
{
    return {
        { QKeySequence(Qt::Key_F2), { "UC", nullptr } },
        { QKeySequence(Qt::Key_F3), { "LC", nullptr } },
        { QKeySequence(Qt::Key_F4), { "TC", nullptr } },
        { QKeySequence(Qt::Key_F5), { "mnuInsertSDS", nullptr } },
        { QKeySequence(Qt::Key_F6), { "mnuRemoveSDS", nullptr } },
        { QKeySequence(Qt::Key_F7), { "SBSync", nullptr } },
        { QKeySequence(Qt::Key_F8), { "mnuRefreshTags", "mnuRefreshTags2" } },
        { QKeySequence(Qt::Key_F9), { "Parens", nullptr } },
        { QKeySequence(Qt::Key_F10), { "Periods", nullptr } },
        { QKeySequence(Qt::Key_F11), { "RepeatEdit", nullptr } },
        { QKeySequence(Qt::Key_F12), { "mnuPlayFile", "mnuPlayFile2" } },
        { QKeySequence(Qt::CTRL | Qt::Key_F2), { "Sync", nullptr } },
    };
}

bool Velmora::handleWindowKey(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    // A function key runs its entry: one table for the key and what it does.
    const QKeySequence pressed(QKeyCombination(mods, Qt::Key(key)));
    for (const WindowKey& k : windowKeys()) {
        if (k.key == pressed) {
            action(QLatin1String(k.actions[0]))->trigger();
            return true;
        }
    }
    if (mods != Qt::NoModifier)
        return false;
    switch (key) {
    case Qt::Key_Up:
        selectFile(ListStep::Up);
        return true;
    case Qt::Key_Down:
        selectFile(ListStep::Down);
        return true;
    case Qt::Key_PageUp:
        selectFile(ListStep::First);
        return true;
    case Qt::Key_PageDown:
        selectFile(ListStep::Last);
        return true;
    default:
        return false;
    }
}

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

bool Velmora::eventFilter(QObject* watched, QEvent* event)
{
    // Input that reaches this window in the middle of a command (a prompt's
    // own event loop delivers it) is dropped, as a modal prompt would.
    // A run's Stop button is the one control that answers.
    if (m_busy > 0 && isUserInput(event->type()) && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this && watched != m_fileTable->stopButton())
        return true;
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (handleWindowKey(key->key(), key->modifiers()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// Tag commands of the main window: showing the selected file's tags, saving
// the boxes into it, re-reading and stripping. The file work and its checks
// are CurrentFile's; this shows what it read and says what failed.
namespace {

// What the status adds when a write succeeded without keeping everything.
QString keptStatus(const CurrentFile::Result& result)
{
    if (result.keptEverything())
        return QString();
    if (result.notKept.isEmpty())
        return QStringLiteral(", But Its Time Could Not Be Kept");
    return QStringLiteral(", But Not Everything It Carried Could Be Kept");
}

} // namespace

bool Velmora::reportFailure(const CurrentFile::Result& result)
{
    if (result.cancelled)
        return true; // the user's own choice: nothing failed
    if (!result.ok()) {
        m_services.prompter->message(kTitle, currentFileErrorText(result, m_file.path()), MsgIcon::Critical);
        return true;
    }
    // Written, but not everything the file carried could be kept.
    const QString warning = currentFileWarningText(result, m_file.path());
    if (!warning.isEmpty())
        m_services.prompter->message(kTitle, warning, MsgIcon::Exclamation);
    return false;
}

void Velmora::showNothingLoaded()
{
    m_tagPane->showNothing();
    enableFileControls(false);
}

void Velmora::showTags(const CurrentFile::Result& result)
{
    if (!m_file.isLoaded())
        showNothingLoaded();
    // The size as the file is now: a save or a removal changes it.
    if (!m_file.isEmpty())
        m_namePane->setTitle(captionText(m_file.name()) + QStringLiteral(" (")
            + formatFileSize(qMax<qint64>(m_file.length(), 0)) + QLatin1Char(')'));
    if (!m_file.isLoaded())
        return;
    std::array<bool, kFieldCount> held {};
    for (int i = 0; i < kFieldCount; ++i)
        held[size_t(i)] = m_file.tag().holdsField(FieldId(i));
    m_tagPane->showFile(m_file.texts(), held, m_file.shownPictures(), folder());
    if (result.reread)
        m_session->rebuildPartsList();
}

void Velmora::readMP3ID()
{
    if (!m_file.isEmpty())
        showRead(m_file.reload());
}

void Velmora::rereadUnchanged()
{
    if (!m_file.isEmpty())
        showRead(m_file.reloadUnchanged());
}

void Velmora::showRead(const CurrentFile::Result& result)
{
    showTags(result);
    reportFailure(result);
}

void Velmora::saveTags()
{
    if (!m_manyFiles.isEmpty()) {
        saveMany();
        return;
    }
    if (!m_file.isLoaded())
        return;
    const Busy busy(*this);
    m_fileTable->setEnabled(false);
    setStatusText(QStringLiteral("Saving ID3 Tags..."));
    const CurrentFile::Result result = m_file.save(m_tagPane->texts());
    m_fileTable->setEnabled(true);
    m_fileTable->reread({ m_file.path() });
    m_tagPane->tagBar()->setEnabled(true);
    if (result.cancelled) {
        setStatusText(result.keptReadOnly ? QStringLiteral("ID3 Tags Not Saved: The File Is Read-Only")
                                          : QStringLiteral("ID3 Tags Not Saved To File"));
        return;
    }
    // A failed save keeps what the user typed, so that it can be saved again.
    if (result.reread)
        showTags(result);
    if (reportFailure(result)) {
        setStatusText(QStringLiteral("ID3 Tags Not Saved To File"));
        return;
    }
    setStatusText(QStringLiteral("ID3 Tags Saved To File") + keptStatus(result));
}

void Velmora::saveMany()
{
    const MultiTagValues values = m_tagPane->manyChanges();
    if (std::none_of(values.included.begin(), values.included.end(), [](bool on) { return on; })) {
        setStatusText(QStringLiteral("Nothing To Save: No Box Was Changed"));
        return;
    }
    const Busy busy(*this);
    QList<MultiTagRun::File> files;
    for (const QString& path : m_manyFiles)
        files.append({ path, values });
    const MultiTagRunReport report = tableRuns().saveTags(files, TagJournal::tagSaveJournal(m_undoFolder));
    showRewritten(m_manyFiles);
    setStatusText(multiTagRunStatus(report));
}

TableRuns Velmora::tableRuns()
{
    return TableRuns(m_services, m_prefs.options, *m_fileTable, [this](const QString& text) { setStatusText(text); });
}

void Velmora::changeManyCovers(const std::optional<CoverPicture>& cover)
{
    CoverBatchRequest request;
    request.operation = cover ? CoverOperation::SetImage : CoverOperation::RemoveAll;
    if (cover)
        request.imageData = cover->data;
    runCovers(m_manyFiles, request);
}

void Velmora::showRewritten(const QStringList& paths)
{
    m_fileTable->reread(paths);
    // The panel shows what the files shown hold now.
    if (!m_manyFiles.isEmpty())
        showMany(m_manyFiles);
    else if (m_file.isLoaded() && paths.contains(m_file.path()))
        rereadUnchanged();
}

void Velmora::runCovers(const QStringList& paths, const CoverBatchRequest& request)
{
    if (paths.isEmpty())
        return;
    const Busy busy(*this);
    // A removal asks first, in the run.
    const CoverBatchReport report = tableRuns().changeCovers(paths, request, TagJournal::tagSaveJournal(m_undoFolder));
    showRewritten(paths);
    setStatusText(coverBatchStatus(report));
}

void Velmora::setFolderCovers()
{
    CoverBatchRequest request;
    request.operation = CoverOperation::FolderCover;
    request.patterns = defaultCoverPatterns();
    runCovers(m_fileTable->selectedPaths(), request);
}

void Velmora::shrinkCovers()
{
    const QString answer = m_services.prompter->inputBox(kTitle,
        QStringLiteral("Shrink Every Cover Larger Than This Many Pixels:"), QString::number(kDefaultShrinkPixels));
    const int pixels = leadingNumber(answer);
    if (pixels <= 0)
        return;
    CoverBatchRequest request;
    request.operation = CoverOperation::Shrink;
    request.shrink
        = [pixels](const CoverPicture& picture) { return shrunkCover(picture, pixels, kDefaultShrinkQuality); };
    runCovers(m_fileTable->selectedPaths(), request);
}

void Velmora::saveEditedCells()
{
    PendingEdits& edits = m_fileTable->model().edits();
    if (edits.isEmpty()) {
        setStatusText(QStringLiteral("No Edited Cells To Save"));
        return;
    }
    const Busy busy(*this);
    QList<MultiTagRun::File> files;
    for (const QString& path : edits.paths())
        files.append({ path, editedValues(edits.editsOf(path)) });
    const MultiTagRunReport report = tableRuns().saveTags(files, TagJournal::tagSaveJournal(m_undoFolder));
    // Edits of files not written stay, marked, to be saved again.
    QStringList written;
    for (int i = 0; i < report.done && i < files.size(); ++i)
        if (!report.failedPaths.contains(files[i].path))
            written << files[i].path;
    for (const QString& path : written)
        edits.drop(path);
    showRewritten(written);
    setStatusText(multiTagRunStatus(report));
}

void Velmora::settleEditedCells()
{
    const PendingEdits& edits = m_fileTable->model().edits();
    if (edits.isEmpty())
        return;
    const QString question = QStringLiteral("The Table Holds Edited Cells Of ") + QString::number(edits.paths().size())
        + QStringLiteral(" Files That Are Not Saved.\r\n\r\nSave Them Now? No Drops Them.");
    if (m_services.prompter->askYesNo(kTitle, question, MsgIcon::Question))
        saveEditedCells();
}

namespace {

// The text box with the focus that keeps its own undo history; null for
// none (a read-only box has nothing to undo).
QLineEdit* focusedTextBox()
{
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return edit && !edit->isReadOnly() ? edit : nullptr;
}

} // namespace

void Velmora::undo()
{
    QLineEdit* box = focusedTextBox();
    if (box == m_namePane->newName())
        m_session->undoName();
    else if (box)
        box->undo();
    else
        undoTagSave();
}

void Velmora::redo()
{
    QLineEdit* box = focusedTextBox();
    if (box == m_namePane->newName())
        m_session->redoName();
    else if (box)
        box->redo();
}

void Velmora::undoTagSave()
{
    const QString journal = TagJournal::tagSaveJournal(m_undoFolder);
    const QStringList files = tagJournalChangedFiles(journal);
    if (files.isEmpty()) {
        setStatusText(QStringLiteral("Nothing To Undo"));
        return;
    }
    const Busy busy(*this);
    QString question = QStringLiteral("Undo The Last Tag Save Or Removal In File: \r\n\r\n") + files.first();
    const QString interrupted
        = tagJournalInterruptedText(summarizeTagJournal(journal), QStringLiteral("The Last Tag Save Or Removal"));
    if (!interrupted.isEmpty())
        question = interrupted + QStringLiteral("\r\n\r\n") + question;
    if (!askYesNo(question))
        return;
    setStatusText(QStringLiteral("Restoring ID3 Tags..."));
    const TagUndoReport report = undoTagJournal(journal);
    m_fileTable->reread(files);
    if (!m_manyFiles.isEmpty())
        showMany(m_manyFiles);
    // The boxes show what the file holds now; the file stays as the undo put
    // it back, time and mode too.
    if (!m_file.isEmpty() && files.contains(m_file.path())) {
        const CurrentFile::Result result = m_file.reloadUnchanged();
        showTags(result);
        reportFailure(result);
    }
    const QString problems = tagUndoProblemsText(report);
    if (!problems.isEmpty())
        m_services.prompter->message(kTitle, problems, MsgIcon::Exclamation);
    if (!report.restored.isEmpty())
        setStatusText(QStringLiteral("Last Tag Save Or Removal Undone"));
    else if (!report.notDone.isEmpty())
        setStatusText(QStringLiteral("Nothing To Undo: The Interrupted Save Or Removal Never Wrote The File"));
    else
        setStatusText(QStringLiteral("Last Tag Save Or Removal Not Undone"));
}

void Velmora::refreshTags()
{
    if (m_fileTable->currentRow() >= 0)
        readMP3ID();
}

void Velmora::removeTags()
{
    if (!m_file.isLoaded())
        return;
    const Busy busy(*this);
    m_tagPane->tagBar()->setEnabled(false);
    if (askYesNo(QStringLiteral("Remove All ID3 Tags From File: \r\n\r\n") + m_file.path())) {
        const CurrentFile::Result result = m_file.stripTags();
        m_fileTable->reread({ m_file.path() });
        if (result.reread)
            showTags(result);
        if (result.keptReadOnly)
            setStatusText(QStringLiteral("ID3 Tags Not Removed: The File Is Read-Only"));
        else if (reportFailure(result))
            setStatusText(QStringLiteral("ID3 Tags Not Removed From File"));
        else
            setStatusText(QStringLiteral("ID3 Tags Removed From File") + keptStatus(result));
    }
    m_tagPane->tagBar()->setEnabled(true);
}
