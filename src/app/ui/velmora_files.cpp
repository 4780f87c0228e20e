// File commands of the main window: listing, selecting, renaming, deleting
// and playing the MP3 files of the current folder.
#include "velmora.h"

#include "fileexistsprompt.h"
#include "foldertree.h"
#include "partslistview.h"
#include "tagedit/filesize.h"

#include "app/renamesequence.h"
#include "nameedit/nameeditsession.h"
#include "platform/filesystem.h"
#include "platform/launcher.h"
#include "platform/launcherror.h"
#include "platform/mp3files.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "platform/trash.h"
#include "platform/ui/caption.h"
#include "settings/preferences.h"
#include "tagedit/ui/tagpanel.h"
#include "tags/id3v2tag.h"
#include "text/texthelpers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kTitle = QStringLiteral("Velmora");
const QString kCrLf = QStringLiteral("\r\n");

QString errorText(const FileError& e)
{
    return e.description + QStringLiteral(" (") + QString::number(e.number) + QLatin1Char(')');
}

} // namespace

bool Velmora::askYesNo(const QString& question)
{
    return m_services.prompter->askYesNo(kTitle, trimSpaces(question) + QLatin1Char('?'), MsgIcon::Question);
}

void Velmora::refreshFileList()
{
    m_loadingRow = true;
    m_fileList->clear();
    if (folder().isEmpty()) {
        m_loadingRow = false;
        return;
    }
    m_fileList->addItems(listMp3Files(folder()));
    m_fileList->setCurrentRow(-1);
    m_loadingRow = false;
}

void Velmora::selectRow(int row)
{
    m_loadingRow = true;
    m_fileList->setCurrentRow(row);
    m_loadingRow = false;
    selectFileEntry();
}

void Velmora::selectFileEntry()
{
    const QListWidgetItem* item = m_fileList->currentItem();
    const QString name = item ? item->text() : QString();
    m_oldName->setText(name);
    if (name.isEmpty())
        return;
    const CurrentFile::Result loaded = m_file.load(withTrailingSlash(folder()) + name);
    if (!m_file.isLoaded()) {
        // Nothing of the file before stays, and nothing can act on this one.
        showTags(loaded);
        if (m_file.length() == 0) {
            // Deleting is all that can be done with it, now or later.
            for (const char* name : { "Delete", "mnuDeleteFile", "mnuDeleteFile2" })
                m_actions.value(QLatin1String(name))->setEnabled(true);
            const QString question = QStringLiteral("Error: Zero-Length File Selected!") + kCrLf + kCrLf
                + QStringLiteral("File Cannot Be Edited.") + kCrLf + kCrLf
                + QStringLiteral("Delete The Selected File?");
            const Busy busy(*this);
            if (m_services.prompter->askYesNo(kTitle, question, MsgIcon::Critical))
                deleteFiles();
        } else {
            reportFailure(loaded);
        }
        return;
    }
    enableFileControls(true);
    m_renameFrame->setTitle(
        captionText(name) + QStringLiteral(" (") + formatFileSize(m_file.length()) + QLatin1Char(')'));
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

void Velmora::selectFile(ListStep step)
{
    const int count = m_fileList->count();
    if (count == 0)
        return;
    int row = m_fileList->currentRow();
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
    selectRow(row);
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
    refreshFileList();
    m_findFrame->setTitle(QStringLiteral("Current Directory: ") + captionText(newFolder));
    setStatusText(m_folderRefusal.isEmpty() ? QStringLiteral("Ready") : m_folderRefusal);
    m_file.clear();
    m_oldName->clear();
    showNothingLoaded();
}

void Velmora::refreshFolder()
{
    const QString name = m_file.isEmpty() ? QString() : m_file.name();
    refreshFileList();
    if (name.isEmpty())
        return;
    const QList<QListWidgetItem*> items = m_fileList->findItems(name, Qt::MatchExactly);
    if (!items.isEmpty()) {
        // The file stays selected; the boxes keep what the user typed.
        m_loadingRow = true;
        m_fileList->setCurrentItem(items.first());
        m_loadingRow = false;
        return;
    }
    m_file.clear();
    m_oldName->clear();
    showNothingLoaded();
}

void Velmora::enableFileControls(bool enabled)
{
    for (const char* name : { "Rename", "Play", "Delete", "SaveTags", "ReRead", "RemoveTags", "mnuRenameFile",
             "mnuDeleteFile", "mnuPlayFile", "mnuFileInfo", "mnuSaveID3", "mnuRefreshTags", "mnuStripTags",
             "mnuDeleteFile2", "mnuPlayFile2", "mnuFileInfo2", "mnuSaveID32", "mnuRefreshTags2", "mnuStripTags2" })
        m_actions.value(QLatin1String(name))->setEnabled(enabled);
    for (QAction* action : m_editToolBar->actions())
        action->setEnabled(enabled);
    for (QAction* action : m_syncBar->actions())
        action->setEnabled(enabled);
    const QList<QWidget*> controls { m_recordEditing, m_tagFrame, m_partsList, m_newName, m_renameButton,
        m_oldNameLabel, m_newNameLabel, m_formatList, m_formatFrame, m_containerPic->verticalScrollBar() };
    for (QWidget* w : controls)
        w->setEnabled(enabled);
    setAllBoxProps(QStringLiteral("Enabled"), enabled);
    for (int i = 0; i < kFieldCount; ++i) {
        m_labels[size_t(i)]->setEnabled(enabled);
        m_clearButtons[size_t(i)]->setEnabled(enabled);
    }
    if (!enabled) {
        m_session->parts().clear();
        m_session->editor().setText(QString());
        m_session->resetNameHistory();
        m_renameFrame->setTitle(QStringLiteral("No File Selected"));
    }
}

void Velmora::setAllBoxProps(const QString& property, const QVariant& value)
{
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->objectName().startsWith(QLatin1String("ID3")))
            continue;
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w))
            continue;
        if (property == QLatin1String("Width")) {
            w->setFixedWidth(value.toInt());
        } else if (property == QLatin1String("Enabled")) {
            w->setEnabled(value.toBool());
        } else if (property == QLatin1String("Text")) {
            const auto index = std::find(m_boxes.begin(), m_boxes.end(), w);
            if (index != m_boxes.end())
                m_tagPanel->setText(int(index - m_boxes.begin()), value.toString());
        }
    }
}

void Velmora::renameFile()
{
    const int row = m_fileList->currentRow();
    QString nextName;
    if (row >= 0 && row < m_fileList->count() - 1)
        nextName = m_fileList->item(row + 1)->text();
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

    m_file.renamed(target);
    if (m_prefs.options.id3AutoSave == 1) {
        setStatusText(QStringLiteral("Saving ID3 Tags..."));
        saveTags();
    } else {
        setStatusText(QStringLiteral("ID3 Tags Not Saved As Indicated In Options"));
    }
    refreshFileList();
    setStatusText(QStringLiteral("Rename Complete."));
    int nextRow = m_fileList->count() - 1;
    if (!nextName.isEmpty()) {
        for (int i = 0; i < m_fileList->count(); ++i) {
            if (trimSpaces(m_fileList->item(i)->text()) == nextName) {
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
    QList<int> selected;
    for (int i = 0; i < m_fileList->count(); ++i)
        if (m_fileList->item(i)->isSelected())
            selected << i;
    if (selected.isEmpty())
        return;
    const Busy busy(*this);
    if (!m_services.prompter->askYesNo(
            kTitle, QStringLiteral("Delete '") + m_file.path() + QStringLiteral("' To The Trash?")))
        return;
    int lastHandled = -1;
    for (auto it = selected.crbegin(); it != selected.crend(); ++it) {
        const QString name = m_fileList->item(*it)->text();
        const QString path = withTrailingSlash(folder()) + name;
        setStatusText(QStringLiteral("Moving File ") + name + QStringLiteral(" To Trash..."));
        FileError error;
        if (!m_services.files->resetAttributes(path, &error) || !m_services.trash->moveToTrash(path, &error)) {
            m_services.prompter->message(
                kTitle, QStringLiteral("Error Occured: ") + errorText(error), MsgIcon::Critical);
            setStatusText(QStringLiteral("Operation Cancelled"));
            // Files already in the trash must not stay listed or loaded.
            if (it != selected.crbegin())
                refreshFolder();
            return;
        }
        lastHandled = *it;
    }
    setStatusText(QStringLiteral("Refreshing Directory..."));
    refreshFileList();
    setStatusText(QStringLiteral("Ready"));
    if (m_fileList->count() == 0) {
        m_file.clear();
        m_oldName->clear();
        showNothingLoaded();
        return;
    }
    selectRow(m_fileList->count() > lastHandled ? lastHandled : m_fileList->count() - 1);
}

void Velmora::playFile()
{
    if (!m_fileList->currentItem()) {
        m_services.prompter->message(
            kTitle, QStringLiteral("Please Select A File To Play First!"), MsgIcon::Exclamation);
        m_fileList->setFocus(Qt::OtherFocusReason);
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
