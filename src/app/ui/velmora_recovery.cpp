// What a session that ended abruptly left behind: runs without their
// closing record, named at the next start with an offer to undo them.
#include "velmora.h"

#include "massrename/runjournals.h"

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
}
