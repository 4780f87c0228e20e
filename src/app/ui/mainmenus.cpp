#include "mainmenus.h"

#include "platform/ui/buttonicons.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

namespace {

struct ButtonSpec {
    const char* key;
    const char* text;
    const char* tip;
    QStyle::StandardPixmap icon;
};

} // namespace

MainMenus::MainMenus(QMainWindow& window, const PaneBars& bars)
    : m_window(window)
{
    buildActions();
    buildMenus();
    buildToolbars(bars);
}

QAction* MainMenus::makeAction(const QString& name, const QString& text)
{
    auto* action = new QAction(text, &m_window);
    action->setObjectName(name);
    m_actions.insert(name, action);
    return action;
}

void MainMenus::buildActions()
{
    // Menu entries; the context menu's twins end in 2 and run the same command.
    makeAction(QStringLiteral("mnuRenameFile"), QStringLiteral("&Rename File"));
    for (const QString& suffix : { QString(), QStringLiteral("2") }) {
        makeAction(QStringLiteral("mnuDeleteFile") + suffix, QStringLiteral("&Delete Selected File"));
        makeAction(QStringLiteral("mnuPlayFile") + suffix, QStringLiteral("&Play Selected File"));
        makeAction(QStringLiteral("mnuFileInfo") + suffix, QStringLiteral("&File Information"));
        makeAction(QStringLiteral("mnuSaveID3") + suffix, QStringLiteral("&Save ID3 Tags"));
        makeAction(QStringLiteral("mnuRefreshTags") + suffix, QStringLiteral("Refresh ID3 Tags"));
        makeAction(QStringLiteral("mnuStripTags") + suffix, QStringLiteral("Strip ID3 Tags"));
        makeAction(QStringLiteral("mnuRefreshFolder") + suffix, QStringLiteral("&Refresh Folder"));
        makeAction(QStringLiteral("mnuCreatePlaylist") + suffix, QStringLiteral("&Create Playlist"));
    }
    makeAction(QStringLiteral("mnuExit"), QStringLiteral("&Exit"));
    makeAction(QStringLiteral("mnuMassRename"), QStringLiteral("Mass &Rename"));
    makeAction(QStringLiteral("mnuMultiTagger"), QStringLiteral("Multi&Tagger"));
    makeAction(QStringLiteral("mnuOptions"), QStringLiteral("&Options"));
    makeAction(QStringLiteral("mnuFilters"), QStringLiteral("Define &Filters"));
    makeAction(QStringLiteral("mnuToolbarToggle"), QStringLiteral("&Hide Quick Access Toolbar"));
    makeAction(QStringLiteral("mnuLoadHelp"), QStringLiteral("&Help"));
    makeAction(QStringLiteral("mnuAbout"), QStringLiteral("&About"));
    makeAction(QStringLiteral("mnuUndo"), QStringLiteral("&Undo"));
    makeAction(QStringLiteral("mnuRedo"), QStringLiteral("&Redo"));
    makeAction(QStringLiteral("mnuUndoTagSave"), QStringLiteral("Undo Last &Tag Save Or Removal"));
    // The file table's rows and cells. Ctrl+A stays the text boxes' own.
    makeAction(QStringLiteral("mnuSelectAllFiles"), QStringLiteral("Select &All Files"));
    makeAction(QStringLiteral("mnuSaveCells"), QStringLiteral("Save &Edited Cells"));
    makeAction(QStringLiteral("mnuCopyCells"), QStringLiteral("&Copy Cells"));
    makeAction(QStringLiteral("mnuPasteCells"), QStringLiteral("&Paste Cells"));
    makeAction(QStringLiteral("mnuFolderCovers"), QStringLiteral("Set Each &Folder's Cover"));
    makeAction(QStringLiteral("mnuShrinkCovers"), QStringLiteral("S&hrink Covers..."));
    // The separator keys have no button; their menu entries run them too.
    makeAction(QStringLiteral("mnuInsertSDS"), QStringLiteral("&Insert Separator"));
    makeAction(QStringLiteral("mnuRemoveSDS"), QStringLiteral("Re&move Separator"));

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
        m_window.addAction(action); // active while the menu bar is hidden too
    }
}

void MainMenus::buildMenus()
{
    m_window.menuBar()->setObjectName(QStringLiteral("MenuBar"));
    const auto add = [this](QMenu* menu, const char* name) { menu->addAction(m_actions.value(QLatin1String(name))); };

    QMenu* file = m_window.menuBar()->addMenu(QStringLiteral("&File"));
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

    QMenu* edit = m_window.menuBar()->addMenu(QStringLiteral("&Edit"));
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

    QMenu* tools = m_window.menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    add(tools, "mnuMassRename");
    add(tools, "mnuMultiTagger");
    add(tools, "mnuFolderCovers");
    add(tools, "mnuShrinkCovers");
    tools->addSeparator();
    add(tools, "mnuOptions");
    add(tools, "mnuFilters");

    QMenu* toolbar = m_window.menuBar()->addMenu(QStringLiteral("&ToolBar"));
    toolbar->setObjectName(QStringLiteral("mnuToolBar"));
    add(toolbar, "mnuToolbarToggle");

    QMenu* help = m_window.menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    add(help, "mnuLoadHelp");
    help->addSeparator();
    add(help, "mnuAbout");

    m_fileSub = new QMenu(&m_window);
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
void MainMenus::buildToolbars(const PaneBars& bars)
{
    const auto addButtons = [this](QToolBar* bar, std::initializer_list<ButtonSpec> specs, bool icons) {
        for (const ButtonSpec& s : specs) {
            const QString key = QString::fromLatin1(s.key);
            auto* action = new QAction(QString::fromLatin1(s.text), &m_window);
            action->setObjectName(key);
            action->setToolTip(QString::fromLatin1(s.tip));
            if (icons)
                action->setIcon(buttonIcon(key));
            bar->addAction(action);
            if (QWidget* button = bar->widgetForAction(action))
                button->setObjectName(key);
            m_actions.insert(key, action);
        }
    };

    m_quickAccess = m_window.addToolBar(QStringLiteral("Quick Access Toolbar"));
    m_quickAccess->setObjectName(QStringLiteral("TheTB"));
    m_quickAccess->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_quickAccess->setMovable(false);
    m_quickAccess->toggleViewAction()->setVisible(false);
    // The narrow images at both ends of the bar.
    const auto edge = [this](const char* name) {
        auto* image = new QLabel;
        image->setObjectName(QLatin1String(name));
        image->setFixedWidth(6);
        m_quickAccess->addWidget(image);
        return image;
    };
    m_imgLeft = edge("ImgLeft");
    addButtons(m_quickAccess,
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
    m_imgRight = edge("ImgRight");

    // TheTB forwards to the same commands as the menu.
    const auto forward = [this](const char* key, const char* menuEntry) {
        QObject::connect(m_actions.value(QLatin1String(key)), &QAction::triggered,
            m_actions.value(QLatin1String(menuEntry)), &QAction::trigger);
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

    bars.edit->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addButtons(bars.edit,
        { { "UC", "UC", "F2 - Convert This Filename To Upper Case", QStyle::SP_CustomBase },
            { "LC", "LC", "F3 - Convert This Filename To Lower Case", QStyle::SP_CustomBase },
            { "TC", "TC", "F4 - Convert This Filename To Title Case", QStyle::SP_CustomBase },
            { "Parens", "( )", "F9 - Add/Remove Parenthesis From Filename Part", QStyle::SP_CustomBase },
            { "Periods", "Periods", "F10 - Remove All Periods From Filename", QStyle::SP_CustomBase },
            { "RepeatEdit", "Repeat", "F11 - Repeat Recorded Edit Steps", QStyle::SP_CustomBase },
            { "Sync", "Sync", "CF2 - Create New Filename Using Internal Tags", QStyle::SP_CustomBase } },
        false);

    bars.id3->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    addButtons(bars.id3,
        { { "SaveTags", "Save Tags", "Write ID3 Tags To Selected File", QStyle::SP_DialogSaveButton },
            { "ReRead", "Re-Read", "F8 - Reload ID3 Tags In Selected File", QStyle::SP_BrowserReload },
            { "RemoveTags", "Remove Tags", "Remove ID3 Tags From Selected File", QStyle::SP_DialogDiscardButton } },
        true);

    bars.sync->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addButtons(bars.sync,
        { { "SBSync", "Sync", "F7 - Sync Internal Tags", QStyle::SP_CustomBase },
            { "SBDelete", "Delete", "Click To Delete The Currently Selected Format", QStyle::SP_CustomBase } },
        false);

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
}

bool MainMenus::quickAccessVisible() const
{
    return !m_quickAccess->isHidden();
}

void MainMenus::setQuickAccessVisible(bool visible)
{
    m_quickAccess->setHidden(!visible);
    m_imgLeft->setHidden(!visible);
    m_imgRight->setHidden(!visible);
    m_actions.value(QStringLiteral("mnuToolbarToggle"))
        ->setText(
            visible ? QStringLiteral("&Hide Quick Access Toolbar") : QStringLiteral("&Show Quick Access Toolbar"));
}

void MainMenus::showWindowKeys(const QList<std::pair<QKeySequence, QStringList>>& keys)
{
    for (const auto& [key, names] : keys) {
        for (const QString& name : names) {
            QAction* action = m_actions.value(name);
            action->setShortcut(key);
            action->setShortcutContext(Qt::WidgetShortcut);
        }
    }
}
