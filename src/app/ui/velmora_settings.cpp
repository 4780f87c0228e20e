// Start-up and shut-down of the main window: what it restores from the
// settings and what it stores when it closes, plus the toolbar toggle.
#include "velmora.h"

#include "aboutbox.h"
#include "foldertree.h"

#include "nameedit/nameeditsession.h"
#include "platform/launcher.h"
#include "platform/launcherror.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "settings/lastpath.h"
#include "settings/preferences.h"
#include "settings/windowsize.h"
#include "tagedit/tablecolumns.h"
#include "tagedit/ui/filetable.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QToolBar>

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
    showFormats();

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

    showRecording();
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
    store.saveOption(QStringLiteral("ToolBar"), m_theTB->isHidden() ? QStringLiteral("Off") : QStringLiteral("On"));
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
    m_theTB->setHidden(!visible);
    m_imgLeft->setHidden(!visible);
    m_imgRight->setHidden(!visible);
    m_actions.value(QStringLiteral("mnuToolbarToggle"))
        ->setText(
            visible ? QStringLiteral("&Hide Quick Access Toolbar") : QStringLiteral("&Show Quick Access Toolbar"));
}

void Velmora::toggleToolbar()
{
    applyToolbarVisible(m_theTB->isHidden());
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
