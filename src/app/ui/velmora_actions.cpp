// Actions, menus, toolbars and the file list's context menu of the main
// window: every entry is created here, with its object name and tooltip.
#include "velmora.h"

#include "buttonicons.h"

#include "tagedit/ui/filetable.h"

#include <QTableView>

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

QAction* Velmora::makeAction(const QString& name, const QString& text, void (Velmora::*slot)())
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    m_actions.insert(name, action);
    return action;
}

void Velmora::buildActions()
{
    // Menu entries; the context menu's twins end in 2 and run the same command.
    makeAction(QStringLiteral("mnuRenameFile"), QStringLiteral("&Rename File"), &Velmora::renameFile);
    for (const QString& suffix : { QString(), QStringLiteral("2") }) {
        makeAction(
            QStringLiteral("mnuDeleteFile") + suffix, QStringLiteral("&Delete Selected File"), &Velmora::deleteFiles);
        makeAction(QStringLiteral("mnuPlayFile") + suffix, QStringLiteral("&Play Selected File"), &Velmora::playFile);
        makeAction(QStringLiteral("mnuFileInfo") + suffix, QStringLiteral("&File Information"), &Velmora::openFileInfo);
        makeAction(QStringLiteral("mnuSaveID3") + suffix, QStringLiteral("&Save ID3 Tags"), &Velmora::saveTags);
        makeAction(
            QStringLiteral("mnuRefreshTags") + suffix, QStringLiteral("Refresh ID3 Tags"), &Velmora::refreshTags);
        makeAction(QStringLiteral("mnuStripTags") + suffix, QStringLiteral("Strip ID3 Tags"), &Velmora::removeTags);
        connect(makeAction(QStringLiteral("mnuRefreshFolder") + suffix, QStringLiteral("&Refresh Folder"), nullptr),
            &QAction::triggered, this, [this] {
                setStatusText(QStringLiteral("Refreshed File Listing"));
                refreshFolder();
            });
        connect(makeAction(QStringLiteral("mnuCreatePlaylist") + suffix, QStringLiteral("&Create Playlist"), nullptr),
            &QAction::triggered, this,
            [this] { runDialog(QStringLiteral("Loading PlayList Creator"), &Velmora::openPlaylist); });
    }
    makeAction(QStringLiteral("mnuExit"), QStringLiteral("&Exit"), nullptr);
    connect(m_actions.value(QStringLiteral("mnuExit")), &QAction::triggered, this, &QWidget::close);
    connect(makeAction(QStringLiteral("mnuMassRename"), QStringLiteral("Mass &Rename"), nullptr), &QAction::triggered,
        this, [this] { runDialog(QStringLiteral("Running Mass Renaming"), &Velmora::openMassRename); });
    connect(makeAction(QStringLiteral("mnuMultiTagger"), QStringLiteral("Multi&Tagger"), nullptr), &QAction::triggered,
        this, [this] {
            runDialog(QStringLiteral("Running MultiTagger"), &Velmora::openMultiTagger);
            // Its run or undo may have changed the file; reading it back
            // writes nothing, so an undo's times and bytes stay.
            rereadUnchanged();
        });
    connect(makeAction(QStringLiteral("mnuOptions"), QStringLiteral("&Options"), nullptr), &QAction::triggered, this,
        [this] { runDialog(QStringLiteral("Setting Options"), &Velmora::openOptions); });
    connect(makeAction(QStringLiteral("mnuFilters"), QStringLiteral("Define &Filters"), nullptr), &QAction::triggered,
        this, [this] { runDialog(QStringLiteral("Managing Filters"), &Velmora::openFilters); });
    makeAction(
        QStringLiteral("mnuToolbarToggle"), QStringLiteral("&Hide Quick Access Toolbar"), &Velmora::toggleToolbar);
    makeAction(QStringLiteral("mnuLoadHelp"), QStringLiteral("&Help"), &Velmora::showHelp);
    makeAction(QStringLiteral("mnuAbout"), QStringLiteral("&About"), &Velmora::showAbout);
    makeAction(QStringLiteral("mnuUndo"), QStringLiteral("&Undo"), &Velmora::undo);
    makeAction(QStringLiteral("mnuRedo"), QStringLiteral("&Redo"), &Velmora::redo);
    makeAction(
        QStringLiteral("mnuUndoTagSave"), QStringLiteral("Undo Last &Tag Save Or Removal"), &Velmora::undoTagSave);
    // The file table's rows and cells. Ctrl+A stays the text boxes' own.
    connect(makeAction(QStringLiteral("mnuSelectAllFiles"), QStringLiteral("Select &All Files"), nullptr),
        &QAction::triggered, this, [this] { m_fileTable->view()->selectAll(); });
    makeAction(QStringLiteral("mnuSaveCells"), QStringLiteral("Save &Edited Cells"), &Velmora::saveEditedCells);
    connect(makeAction(QStringLiteral("mnuCopyCells"), QStringLiteral("&Copy Cells"), nullptr), &QAction::triggered,
        this, [this] { m_fileTable->copyCells(); });
    connect(makeAction(QStringLiteral("mnuPasteCells"), QStringLiteral("&Paste Cells"), nullptr), &QAction::triggered,
        this, [this] { m_fileTable->pasteCells(); });
    makeAction(
        QStringLiteral("mnuFolderCovers"), QStringLiteral("Set Each &Folder's Cover"), &Velmora::setFolderCovers);
    makeAction(QStringLiteral("mnuShrinkCovers"), QStringLiteral("S&hrink Covers..."), &Velmora::shrinkCovers);
    // The separator keys have no button; their menu entries run them too.
    connect(makeAction(QStringLiteral("mnuInsertSDS"), QStringLiteral("&Insert Separator"), nullptr),
        &QAction::triggered, this, [this] { editCommand(EditCommand::InsertSDS); });
    connect(makeAction(QStringLiteral("mnuRemoveSDS"), QStringLiteral("Re&move Separator"), nullptr),
        &QAction::triggered, this, [this] { editCommand(EditCommand::RemoveSDS); });

    // The desktop's usual keys, where the window's own key table leaves them
    // free. Only the menu bar's entries take them; their twins would make
    // the keys ambiguous.
    const std::pair<const char*, QKeySequence> keys[] = {
        { "mnuSaveID3", QKeySequence(Qt::CTRL | Qt::Key_S) },
        { "mnuSaveCells", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S) },
        { "mnuExit", QKeySequence(Qt::CTRL | Qt::Key_Q) },
        { "mnuLoadHelp", QKeySequence(Qt::Key_F1) },
        { "mnuUndo", QKeySequence(Qt::CTRL | Qt::Key_Z) },
        { "mnuRedo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) },
    };
    for (const auto& [name, key] : keys) {
        QAction* action = m_actions.value(QLatin1String(name));
        action->setShortcut(key);
        addAction(action); // active while the menu bar is hidden too
    }
}

void Velmora::buildMenus()
{
    menuBar()->setObjectName(QStringLiteral("MenuBar"));
    const auto add = [this](QMenu* menu, const char* name) { menu->addAction(m_actions.value(QLatin1String(name))); };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    add(file, "mnuRenameFile");
    file->addSeparator();
    add(file, "mnuDeleteFile");
    add(file, "mnuPlayFile");
    add(file, "mnuFileInfo");
    file->addSeparator();
    add(file, "mnuSaveID3");
    add(file, "mnuRefreshTags");
    add(file, "mnuStripTags");
    file->addSeparator();
    add(file, "mnuRefreshFolder");
    add(file, "mnuCreatePlaylist");
    file->addSeparator();
    add(file, "mnuExit");

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    add(edit, "mnuUndo");
    add(edit, "mnuRedo");
    edit->addSeparator();
    add(edit, "mnuUndoTagSave");
    edit->addSeparator();
    add(edit, "mnuSelectAllFiles");
    add(edit, "mnuCopyCells");
    add(edit, "mnuPasteCells");
    add(edit, "mnuSaveCells");
    edit->addSeparator();
    m_nameMenu = edit;

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    add(tools, "mnuMassRename");
    add(tools, "mnuMultiTagger");
    add(tools, "mnuFolderCovers");
    add(tools, "mnuShrinkCovers");
    tools->addSeparator();
    add(tools, "mnuOptions");
    add(tools, "mnuFilters");

    QMenu* toolbar = menuBar()->addMenu(QStringLiteral("&ToolBar"));
    toolbar->setObjectName(QStringLiteral("mnuToolBar"));
    add(toolbar, "mnuToolbarToggle");

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    add(help, "mnuLoadHelp");
    help->addSeparator();
    add(help, "mnuAbout");

    m_fileSub = new QMenu(this);
    m_fileSub->setObjectName(QStringLiteral("mnuFileSub"));
    add(m_fileSub, "mnuDeleteFile2");
    add(m_fileSub, "mnuPlayFile2");
    add(m_fileSub, "mnuFileInfo2");
    m_fileSub->addSeparator();
    add(m_fileSub, "mnuSaveID32");
    add(m_fileSub, "mnuRefreshTags2");
    m_fileSub->addSeparator();
    add(m_fileSub, "mnuCopyCells");
    add(m_fileSub, "mnuPasteCells");
    add(m_fileSub, "mnuSaveCells");
    m_fileSub->addSeparator();
    add(m_fileSub, "mnuFolderCovers");
    add(m_fileSub, "mnuShrinkCovers");
    add(m_fileSub, "mnuStripTags2");
    m_fileSub->addSeparator();
    add(m_fileSub, "mnuRefreshFolder2");
    add(m_fileSub, "mnuCreatePlaylist2");
}

namespace {

struct ButtonSpec {
    const char* key;
    const char* text;
    const char* tip;
    QStyle::StandardPixmap icon;
};

} // namespace

void Velmora::buildToolbars()
{
    const auto addButtons = [this](QToolBar* bar, std::initializer_list<ButtonSpec> specs, bool icons) {
        QList<QAction*> made;
        for (const ButtonSpec& s : specs) {
            const QString key = QString::fromLatin1(s.key);
            auto* action = new QAction(QString::fromLatin1(s.text), this);
            action->setObjectName(key);
            action->setToolTip(QString::fromLatin1(s.tip));
            if (icons)
                action->setIcon(buttonIcon(key));
            bar->addAction(action);
            if (QWidget* button = bar->widgetForAction(action))
                button->setObjectName(key);
            m_actions.insert(key, action);
            made << action;
        }
        return made;
    };

    m_theTB = addToolBar(QStringLiteral("Quick Access Toolbar"));
    m_theTB->setObjectName(QStringLiteral("TheTB"));
    m_theTB->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_theTB->setMovable(false);
    m_theTB->toggleViewAction()->setVisible(false);
    m_imgLeft = new QLabel;
    m_imgLeft->setObjectName(QStringLiteral("ImgLeft"));
    m_imgLeft->setFixedWidth(6);
    m_theTB->addWidget(m_imgLeft);
    addButtons(m_theTB,
        { { "Rename", "Rename", "Rename File And Update ID3 Tags", QStyle::SP_DialogApplyButton },
            { "MassRename", "Mass Rename", "Run Mass Renaming", QStyle::SP_FileDialogDetailedView },
            { "MultiTag", "MultiTag", "MultiTag A Group of Files", QStyle::SP_FileDialogListView },
            { "Options", "Options", "Options", QStyle::SP_FileDialogInfoView },
            { "Filters", "Filters", "Manage Filters", QStyle::SP_FileDialogContentsView },
            { "Play", "Play", "Play Selected File In Your Default MP3 Player", QStyle::SP_MediaPlay },
            { "Delete", "Delete", "Delete The Selected File", QStyle::SP_TrashIcon },
            { "Refresh", "Refresh", "Refresh The Listing of MP3 Files", QStyle::SP_BrowserReload },
            { "PlayList", "PlayList", "Create A Playlist From This Directory", QStyle::SP_FileDialogNewFolder },
            { "About", "About", "About This Application", QStyle::SP_MessageBoxInformation },
            { "Help", "Help", "Load The Help File", QStyle::SP_DialogHelpButton },
            { "Exit", "Exit", "Exit This Application", QStyle::SP_DialogCloseButton } },
        true);
    m_imgRight = new QLabel;
    m_imgRight->setObjectName(QStringLiteral("ImgRight"));
    m_imgRight->setFixedWidth(6);
    m_theTB->addWidget(m_imgRight);

    // TheTB forwards to the same commands as the menu.
    const auto forward = [this](const char* key, const char* menuEntry) {
        connect(m_actions.value(QLatin1String(key)), &QAction::triggered, m_actions.value(QLatin1String(menuEntry)),
            &QAction::trigger);
    };
    forward("Rename", "mnuRenameFile");
    forward("MassRename", "mnuMassRename");
    forward("MultiTag", "mnuMultiTagger");
    forward("Options", "mnuOptions");
    forward("Filters", "mnuFilters");
    forward("Play", "mnuPlayFile");
    forward("Delete", "mnuDeleteFile");
    forward("PlayList", "mnuCreatePlaylist");
    forward("About", "mnuAbout");
    forward("Help", "mnuLoadHelp");
    forward("Exit", "mnuExit");
    connect(m_actions.value(QStringLiteral("Refresh")), &QAction::triggered, this, &Velmora::refreshFolder);

    m_editToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addButtons(m_editToolBar,
        { { "UC", "UC", "F2 - Convert This Filename To Upper Case", QStyle::SP_CustomBase },
            { "LC", "LC", "F3 - Convert This Filename To Lower Case", QStyle::SP_CustomBase },
            { "TC", "TC", "F4 - Convert This Filename To Title Case", QStyle::SP_CustomBase },
            { "Parens", "( )", "F9 - Add/Remove Parenthesis From Filename Part", QStyle::SP_CustomBase },
            { "Periods", "Periods", "F10 - Remove All Periods From Filename", QStyle::SP_CustomBase },
            { "RepeatEdit", "Repeat", "F11 - Repeat Recorded Edit Steps", QStyle::SP_CustomBase },
            { "Sync", "Sync", "CF2 - Create New Filename Using Internal Tags", QStyle::SP_CustomBase } },
        false);
    // The buttons' object names stay the keys the help page and the tests use.
    const auto edit = [this](const char* key, EditCommand command) {
        connect(
            m_actions.value(QLatin1String(key)), &QAction::triggered, this, [this, command] { editCommand(command); });
    };
    edit("UC", EditCommand::UpperCase);
    edit("LC", EditCommand::LowerCase);
    edit("TC", EditCommand::TitleCase);
    edit("Parens", EditCommand::Parens);
    edit("Periods", EditCommand::Periods);
    edit("RepeatEdit", EditCommand::RepeatEdit);
    edit("Sync", EditCommand::NameFromTags);

    m_id3ToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    addButtons(m_id3ToolBar,
        { { "SaveTags", "Save Tags", "Write ID3 Tags To Selected File", QStyle::SP_DialogSaveButton },
            { "ReRead", "Re-Read", "F8 - Reload ID3 Tags In Selected File", QStyle::SP_BrowserReload },
            { "RemoveTags", "Remove Tags", "Remove ID3 Tags From Selected File", QStyle::SP_DialogDiscardButton } },
        true);
    const auto id3 = [this](const char* key, void (Velmora::*command)()) {
        connect(m_actions.value(QLatin1String(key)), &QAction::triggered, this, [this, command] {
            m_renameButton->setFocus(Qt::OtherFocusReason);
            (this->*command)();
        });
    };
    id3("SaveTags", &Velmora::saveTags);
    id3("ReRead", &Velmora::refreshTags);
    id3("RemoveTags", &Velmora::removeTags);

    m_syncBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addButtons(m_syncBar,
        { { "SBSync", "Sync", "F7 - Sync Internal Tags", QStyle::SP_CustomBase },
            { "SBDelete", "Delete", "Click To Delete The Currently Selected Format", QStyle::SP_CustomBase } },
        false);
    edit("SBSync", EditCommand::TagsFromName);
    edit("SBDelete", EditCommand::RemoveFormat);

    // The name commands in the Edit menu, where their keys are shown: the
    // buttons keep their short texts, the menu says what they do.
    const std::pair<const char*, const char*> nameEntries[] = {
        { "UC", "New Name In Upp&er Case" },
        { "LC", "New Name In &Lower Case" },
        { "TC", "New Name In Title Ca&se" },
        { "mnuInsertSDS", nullptr },
        { "mnuRemoveSDS", nullptr },
        { "SBSync", "Tags From The &New Name" },
        { "Parens", "Add Or Remove &Parentheses" },
        { "Periods", "Remove Peri&ods" },
        { "RepeatEdit", "Repeat Recorded E&dit Steps" },
        { "Sync", "New Name From The T&ags" },
    };
    for (const auto& [key, text] : nameEntries) {
        QAction* action = m_actions.value(QLatin1String(key));
        if (text) {
            action->setIconText(action->text());
            action->setText(QLatin1String(text));
        }
        m_nameMenu->addAction(action);
    }
    showWindowKeys();
}

void Velmora::showWindowKeys()
{
    // The window runs these keys itself, before the focused control
    // (handleWindowKey). Beside their entries they are only shown: a
    // widget-wide shortcut is never a second way in, so no key runs its
    // command twice.
    for (const WindowKey& k : windowKeys()) {
        for (const char* name : k.actions) {
            if (!name)
                continue;
            QAction* action = m_actions.value(QLatin1String(name));
            action->setShortcut(k.key);
            action->setShortcutContext(Qt::WidgetShortcut);
        }
    }
}

void Velmora::showFileListMenu(const QPoint& position)
{
    if (m_fileTable->selectedRows().isEmpty())
        return;
    m_fileSub->popup(position);
}

void Velmora::runDialog(const QString& status, void (Velmora::*open)())
{
    setStatusText(status);
    (this->*open)();
    setStatusText(QStringLiteral("Ready"));
}
