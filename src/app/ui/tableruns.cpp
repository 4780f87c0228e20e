#include "tableruns.h"

#include "coverimage/coverimage.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "settings/options.h"
#include "tagedit/ui/filetable.h"

#include <QApplication>
#include <QScopeGuard>

TableRuns::TableRuns(PlatformServices& services, const Options& options, FileTable& table, Status status)
    : m_services(services)
    , m_options(options)
    , m_table(table)
    , m_status(std::move(status))
{
}

MultiTagRunHooks TableRuns::hooks(int total)
{
    m_table.beginRun(total);
    MultiTagRunHooks hooks;
    hooks.status = m_status;
    hooks.progress = [this](int done, int) {
        m_table.runProgress(done);
        // Painted, and the Stop button heard, between files.
        QApplication::processEvents();
    };
    hooks.stopRequested = [this] { return m_table.stopRequested(); };
    return hooks;
}

void TableRuns::tellProblems(const MultiTagRunReport& report)
{
    const QString problems = multiTagRunProblemsText(report);
    if (!problems.isEmpty())
        m_services.prompter->message(QStringLiteral("Velmora"), problems, MsgIcon::Exclamation);
}

MultiTagRunReport TableRuns::saveTags(const QList<MultiTagRun::File>& files, const QString& journalPath)
{
    MultiTagWriter writer(*m_services.files);
    writer.setKeepFileTimes(m_options.keepFileTimes);
    MultiTagRun run(writer, *m_services.prompter, journalPath);
    const MultiTagRunHooks runHooks = hooks(int(files.size()));
    const auto end = qScopeGuard([this] { m_table.endRun(); });
    const MultiTagRunReport report = run.run(files, runHooks);
    tellProblems(report);
    return report;
}

CoverBatchReport TableRuns::changeCovers(
    const QStringList& paths, CoverBatchRequest request, const QString& journalPath)
{
    CoverBatch batch(*m_services.files, *m_services.prompter, journalPath);
    batch.setKeepFileTimes(m_options.keepFileTimes);
    request.imageCheck = imageRefusal;
    const MultiTagRunHooks runHooks = hooks(int(paths.size()));
    const auto end = qScopeGuard([this] { m_table.endRun(); });
    const CoverBatchReport report = batch.run(paths, request, runHooks);
    tellProblems(report.run);
    return report;
}
