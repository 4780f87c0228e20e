// File commands of the main window: renaming, deleting and playing the
// file shown, and enabling what needs one.
#include "velmora.h"

#include "fileexistsprompt.h"
#include "partslistview.h"

#include "app/renamesequence.h"
#include "nameedit/nameeditsession.h"
#include "platform/launcher.h"
#include "platform/launcherror.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "platform/trash.h"
#include "settings/preferences.h"
#include "tagedit/ui/filetable.h"
#include "tagedit/ui/tagpanel.h"
#include "text/texthelpers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kTitle = QStringLiteral("Velmora");

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
