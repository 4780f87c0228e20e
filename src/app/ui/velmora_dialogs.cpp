// The dialogs the main window opens from its menus and toolbars. Each is
// modal; the menu handlers around them show the status texts.
#include "velmora.h"

#include "massrename/ui/massrenameform.h"
#include "nameedit/nameeditsession.h"
#include "platform/platformservices.h"
#include "playlist/ui/playlistform.h"
#include "settings/preferences.h"
#include "settings/ui/filterform.h"
#include "settings/ui/optionsform.h"
#include "tagedit/fileinforeport.h"
#include "tagedit/ui/multitagger.h"

#include <QListWidget>
#include <QTimer>

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
            m_services, m_prefs, m_session->formats(), [this] { showFormats(); }, this);
        form.exec();
    }
    showFormats();
    // "MP3 Files Only" changes what the file list shows.
    if (listedFormats(m_prefs.options) != listedBefore && folderStillShown())
        relist();
    // Re-selecting the mask re-runs the automatic synchronisation.
    if (m_formatList->isEnabled() && before >= 0 && before < m_session->formats().count())
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
