// Which file the main window shows: the file list's highlighted entry, by
// mouse, keyboard or Tab alike. Nothing is loaded for an entry that is not
// highlighted, and every command acts on the file that is shown.
#include "velmora.h"

#include "nameedit/nameeditsession.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "settings/preferences.h"
#include "tagedit/manyfiles.h"
#include "tagedit/ui/coverpane.h"
#include "tagedit/ui/filetable.h"
#include "tagedit/ui/tagpanel.h"
#include "tags/audiotag.h"
#include "text/texthelpers.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace {
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

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
    m_manyFiles.clear();
    if (row >= 0) {
        selectFileEntry();
        return;
    }
    showNoFile();
}

void Velmora::settleTypedTags()
{
    const bool many = !m_manyFiles.isEmpty();
    const MultiTagValues changed = changedFields(m_manyShown, boxTexts());
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

void Velmora::showMany(const QStringList& paths)
{
    showNoFile();
    m_manyFiles = paths;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    AudioTag tag;
    tag.setKeepTrailerOnLoad(true); // showing writes nothing
    QList<TagTexts> texts;
    QList<std::optional<CoverPicture>> fronts;
    for (const QString& path : paths) {
        const bool read = tag.setFileName(path).ok();
        texts << (read ? tagTextsOf(tag, m_prefs.options) : TagTexts());
        fronts << (read ? tag.frontCover() : std::nullopt);
    }
    QApplication::restoreOverrideCursor();
    m_coverPane->showMany(fronts, folder());
    m_coverPane->setEnabled(true);
    m_manyShown = commonTexts(texts);
    for (int i = 0; i < kFieldCount; ++i) {
        m_tagPanel->setText(i, m_manyShown[size_t(i)]);
        // The copyright bit is the audio's, not a tag's.
        const bool editable = FieldId(i) != FieldId::CopyRight;
        m_boxes[size_t(i)]->setEnabled(editable);
        m_labels[size_t(i)]->setEnabled(editable);
        m_clearButtons[size_t(i)]->setEnabled(editable);
    }
    // What the boxes show is what a save compares with.
    m_manyShown = boxTexts();
    m_tagFrame->setEnabled(true);
    for (const char* action : { "SaveTags", "mnuSaveID3", "mnuSaveID32", "Delete", "mnuDeleteFile", "mnuDeleteFile2" })
        m_actions.value(QLatin1String(action))->setEnabled(true);
    m_renameFrame->setTitle(QString::number(paths.size()) + QStringLiteral(" Files Selected"));
    setStatusText(QString::number(paths.size()) + QStringLiteral(" Files Selected"));
}

void Velmora::showNoFile()
{
    m_zeroLengthAsked.clear();
    m_file.clear();
    m_oldName->clear();
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
    m_manyFiles.clear();
    selectFileEntry();
}

void Velmora::selectFileEntry()
{
    const int row = highlightedRow();
    const QString name = row >= 0 ? m_fileTable->nameAt(row) : QString();
    m_oldName->setText(name);
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
                m_actions.value(QLatin1String(action))->setEnabled(true);
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
