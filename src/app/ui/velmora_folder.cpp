// The folder the main window shows: listing it, refreshing it, and what
// happens when another program removes or renames it while it is shown.
#include "velmora.h"

#include "foldertree.h"

#include "app/openrequest.h"
#include "platform/audiofiles.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "platform/ui/caption.h"
#include "settings/preferences.h"
#include "tagedit/ui/filetable.h"
#include "tagedit/ui/tagpanel.h"
#include "text/texthelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>

namespace {
const QString kTitle = QStringLiteral("Velmora");
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

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
    const TagTexts typed = boxTexts();
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
