#include "multitagrun.h"

#include "platform/prompter.h"
#include "tagedit/tagjournal.h"

#include <QHash>
#include <QScopeGuard>
#include <QSet>

#include <algorithm>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kTitle = QStringLiteral("Velmora - MultiTagger");
constexpr int kListedFiles = 20;

QString nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString errorSuffix(const FileError& error)
{
    return QStringLiteral("Error: ") + error.description + QStringLiteral(" (") + QString::number(error.number)
        + QLatin1Char(')');
}

// A heading, then the lines (at most kListedFiles, then how many more).
QString listedFiles(const QString& heading, const QStringList& lines)
{
    QString text = heading + kCrLf + kCrLf;
    for (int i = 0; i < lines.size() && i < kListedFiles; ++i)
        text += lines.at(i) + kCrLf;
    if (lines.size() > kListedFiles)
        text += QStringLiteral("... And ") + QString::number(lines.size() - kListedFiles) + QStringLiteral(" More")
            + kCrLf;
    return text;
}

} // namespace

MultiTagRun::MultiTagRun(MultiTagWriter& writer, Prompter& prompter, const QString& journalPath)
    : m_writer(writer)
    , m_prompter(prompter)
    , m_journalPath(journalPath)
{
}

MultiTagRun::Journal MultiTagRun::beginJournal(TagJournal& journal)
{
    FileError error;
    if (journal.begin(&error))
        return Journal::Kept;
    return m_prompter.askYesNo(kTitle, journalRefusedQuestion(journal.path(), error), MsgIcon::Exclamation)
        ? Journal::None
        : Journal::Refused;
}

MultiTagRunReport MultiTagRun::run(
    const QStringList& paths, const MultiTagValues& values, const MultiTagRunHooks& hooks)
{
    QList<File> files;
    files.reserve(paths.size());
    for (const QString& path : paths)
        files.append({ path, values });
    return run(files, hooks);
}

MultiTagRunReport MultiTagRun::run(const QList<File>& files, const MultiTagRunHooks& hooks)
{
    MultiTagRunReport report;
    report.total = int(files.size());
    const auto status = [&](const QString& text) {
        if (hooks.status)
            hooks.status(text);
    };

    // The same for every file: said once, not once a file.
    for (const File& file : files) {
        report.refused = numberRangeError(file.values);
        if (!report.refused.ok())
            break;
    }
    if (!report.refused.ok()) {
        m_prompter.message(kTitle, multiTagRefusedText(report.refused), MsgIcon::Critical);
        return report;
    }

    // Write protection is cleared only where the user says so, once a run.
    QStringList readOnly;
    for (const File& file : files)
        if (m_writer.isReadOnly(file.path))
            readOnly << file.path;
    m_writer.setClearWriteProtection(!readOnly.isEmpty()
        && m_prompter.askYesNo(kTitle, readOnlyQuestion(readOnly, report.total), MsgIcon::Exclamation));
    const auto protect = qScopeGuard([this] { m_writer.setClearWriteProtection(false); });

    QList<FieldId> clearing;
    for (const File& file : files)
        for (FieldId field : fieldsToClear(file.values))
            if (!clearing.contains(field))
                clearing << field;
    std::sort(clearing.begin(), clearing.end());
    if (!clearing.isEmpty()) {
        status(QStringLiteral("Checking The Selected Files..."));
        int holding = 0;
        for (const File& file : files)
            holding += m_writer.holdsAny(file.path, fieldsToClear(file.values));
        if (holding > 0
            && !m_prompter.askYesNo(
                kTitle, clearFieldsQuestion(clearing, holding, report.total), MsgIcon::Exclamation)) {
            report.cancelled = true;
            return report;
        }
    }

    TagJournal journal(m_journalPath);
    if (!m_journalPath.isEmpty()) {
        const Journal state = beginJournal(journal);
        if (state == Journal::Refused) {
            report.cancelled = true;
            return report;
        }
        report.journalled = state == Journal::Kept;
    }

    RunFailures failures(m_prompter, kTitle);
    for (const File& file : files) {
        const QString& path = file.path;
        if (hooks.stopRequested && hooks.stopRequested()) {
            report.stopped = true;
            break;
        }
        const QString name = nameOf(path);
        status(QStringLiteral("Setting ID3 Tags In ") + name);
        MultiTagWriter::Result result;
        // A file whose tags cannot be kept first is not written.
        if (!report.journalled || journal.recordBefore(path, &result.error))
            result = m_writer.tagFile(path, file.values);
        if (report.journalled)
            journal.recordAfter(path);
        ++report.done;
        if (result.error.ok()) {
            ++report.written;
            status(QStringLiteral("ID3 Tags Saved In ") + name);
            if (!result.timeNotKept.ok())
                report.timesNotKept << runFileLine(path, result.timeNotKept);
        } else {
            failures.add(report, path, result.error);
        }
        if (hooks.progress)
            hooks.progress(report.done, report.total);
    }
    journal.end();
    return report;
}

QString readOnlyQuestion(const QStringList& readOnly, int chosen)
{
    return listedFiles(QString::number(readOnly.size()) + QStringLiteral(" Of The ") + QString::number(chosen)
                   + QStringLiteral(" Selected Files Are Read-Only:"),
               readOnly)
        + kCrLf + QStringLiteral("Make Them Writable And Set Their Tags? No Leaves Them As They Are.");
}

QString multiTagRunStatus(const MultiTagRunReport& report)
{
    return runStatusText(QStringLiteral("ID3 Tag Updates"), report);
}

QString runStatusText(const QString& what, const MultiTagRunReport& report, const QStringList& moreCounts)
{
    if (report.cancelled)
        return what + QStringLiteral(" Cancelled");
    if (!report.refused.ok())
        return what + QStringLiteral(" Refused: ") + report.refused.description;
    QString more;
    if (report.failed > 0)
        more += QStringLiteral(", ") + QString::number(report.failed) + QStringLiteral(" Failed");
    for (const QString& count : moreCounts)
        more += QStringLiteral(", ") + count;
    if (report.stopped)
        return what + QStringLiteral(" Stopped After ") + QString::number(report.done) + QStringLiteral(" Of ")
            + QString::number(report.total) + QStringLiteral(" Files: ") + QString::number(report.written)
            + QStringLiteral(" Written") + more;
    const QString counts = QString::number(report.written) + QStringLiteral(" Of ") + QString::number(report.total)
        + QStringLiteral(" Files Written") + more;
    if (report.failed == 0)
        return what + QStringLiteral(" Complete: ") + counts;
    if (report.written == 0)
        return what + QStringLiteral(" Failed: ") + counts;
    return what + QStringLiteral(" Complete With Errors: ") + counts;
}

RunFailures::RunFailures(Prompter& prompter, const QString& title)
    : m_prompter(prompter)
    , m_title(title)
{
}

void RunFailures::add(MultiTagRunReport& report, const QString& path, const FileError& error)
{
    ++report.failed;
    report.failures << runFileLine(path, error);
    report.failedPaths << path;
    const int kind = error.number;
    if (m_skipping.contains(kind)) {
        // Not shown now; the list at the end names it.
    } else if (++m_seen[kind] == 1) {
        m_prompter.message(m_title, multiTagErrorText(path, error), MsgIcon::Critical);
    } else if (m_prompter.askYesNo(m_title,
                   multiTagErrorText(path, error) + kCrLf + kCrLf
                       + QStringLiteral("Skip Further Errors Of This Kind In This Run?"),
                   MsgIcon::Critical)) {
        m_skipping.insert(kind);
    }
}

QString runFileLine(const QString& path, const FileError& error)
{
    return path + QStringLiteral(" - ") + errorSuffix(error);
}

QString multiTagRunProblemsText(const MultiTagRunReport& report)
{
    QStringList parts;
    if (!report.failures.isEmpty())
        parts << listedFiles(QStringLiteral("Tags Were Not Saved In These Files:"), report.failures);
    if (!report.timesNotKept.isEmpty())
        parts << listedFiles(
            QStringLiteral("Tags Were Saved, But The Modification Time Could Not Be Kept In These Files:"),
            report.timesNotKept);
    return parts.join(kCrLf);
}

QString multiTagRefusedText(const FileError& error)
{
    return QStringLiteral("Error Saving Tags In The Selected Files: ") + kCrLf + kCrLf + errorSuffix(error) + kCrLf
        + kCrLf + QStringLiteral("No File Was Changed.");
}

QString journalRefusedQuestion(const QString& journalPath, const FileError& error, const QString& question)
{
    return QStringLiteral("The Undo Journal Cannot Be Written:") + kCrLf + kCrLf + journalPath + kCrLf + kCrLf
        + errorSuffix(error) + kCrLf + kCrLf + question;
}
