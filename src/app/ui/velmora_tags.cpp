// Tag commands of the main window: showing the selected file's tags, saving
// the boxes into it, re-reading and stripping. The file work and its checks
// are CurrentFile's; this shows what it read and says what failed.
#include "velmora.h"

#include "nameedit/ui/namepane.h"

#include "tags/audiotag.h"

#include "coverimage/coverimage.h"
#include "nameedit/nameeditsession.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "platform/ui/caption.h"
#include "settings/preferences.h"
#include "tableruns.h"

#include "tagedit/coverbatch.h"
#include "tagedit/filesize.h"
#include "tagedit/foldercover.h"
#include "tagedit/manyfiles.h"
#include "tagedit/multitagrun.h"
#include "tagedit/tagjournal.h"
#include "tagedit/ui/coverpane.h"
#include "tagedit/ui/filetable.h"
#include "tagedit/ui/tagpanel.h"
#include "text/texthelpers.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QToolBar>

namespace {

const QString kTitle = QStringLiteral("Velmora");

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

TagTexts Velmora::boxTexts() const
{
    TagTexts texts;
    for (int i = 0; i < kFieldCount; ++i)
        texts[size_t(i)] = m_tagPanel->text(i);
    return texts;
}

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
    m_coverPane->showNothing();
    setAllBoxProps(QStringLiteral("Text"), QString());
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
    // Assigning the boxes passes through their change handling, so a
    // recording in progress records the values read.
    const TagTexts& texts = m_file.texts();
    for (int i = 0; i < kFieldCount; ++i) {
        m_tagPanel->setText(i, texts[size_t(i)]);
        m_tagPanel->setHeld(i, m_file.tag().holdsField(FieldId(i)));
    }
    m_coverPane->showPictures(m_file.shownPictures(), folder());
    m_id3ToolBar->setEnabled(true);
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
    const CurrentFile::Result result = m_file.save(boxTexts());
    m_fileTable->setEnabled(true);
    m_fileTable->reread({ m_file.path() });
    m_id3ToolBar->setEnabled(true);
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
    const MultiTagValues values = changedFields(m_manyShown, boxTexts());
    if (std::none_of(values.included.begin(), values.included.end(), [](bool on) { return on; })) {
        setStatusText(QStringLiteral("Nothing To Save: No Box Was Changed"));
        return;
    }
    const Busy busy(*this);
    QList<MultiTagRun::File> files;
    for (const QString& path : m_manyFiles)
        files.append({ path, values });
    const MultiTagRunReport report = tableRuns().saveTags(files, TagJournal::tagSaveJournal(m_undoFolder));
    m_fileTable->reread(m_manyFiles);
    // The boxes show what the files hold now.
    showMany(m_manyFiles);
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

void Velmora::runCovers(const QStringList& paths, const CoverBatchRequest& request)
{
    if (paths.isEmpty())
        return;
    const Busy busy(*this);
    // A removal asks first, in the run.
    const CoverBatchReport report = tableRuns().changeCovers(paths, request, TagJournal::tagSaveJournal(m_undoFolder));
    m_fileTable->reread(paths);
    if (!m_manyFiles.isEmpty())
        showMany(m_manyFiles);
    else if (m_file.isLoaded() && paths.contains(m_file.path()))
        rereadUnchanged();
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
    m_fileTable->reread(written);
    // The panel shows what the file shown holds now.
    if (!m_manyFiles.isEmpty())
        showMany(m_manyFiles);
    else if (m_file.isLoaded() && written.contains(m_file.path()))
        rereadUnchanged();
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
    m_id3ToolBar->setEnabled(false);
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
    m_id3ToolBar->setEnabled(true);
}

void Velmora::clearField(int index)
{
    m_tagPanel->clearBox(index);
}
