// What a session that ended abruptly left behind: runs without their
// closing record, named at the next start with an offer to undo them.
#include "velmora.h"

#include "massrename/runjournals.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "tagedit/tagjournal.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

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
