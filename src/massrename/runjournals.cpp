#include "runjournals.h"

#include "massrenamelog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace {

const QString kLastRun = QStringLiteral("MassRename-Last");
constexpr int kMaxSameSecond = 1000;

// "MassRename-07Mar26-140509" and, for the n-th run of that second, "-n".
QString runBaseName(const QDateTime& start, int n)
{
    QString base = MassRenameLog::fileNameFor(start);
    base.chop(4); // ".log"
    return n > 1 ? base + QLatin1Char('-') + QString::number(n) : base;
}

bool setLastRun(const QString& folder, const QString& journalPath)
{
    QSaveFile file(folder + kLastRun);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QFileInfo(journalPath).fileName().toUtf8() + '\n');
    return file.commit();
}

} // namespace

bool createRunJournal(RenameJournal& journal, const QString& folder, const QDateTime& start, bool logged,
    QString* logPath, FileError* err)
{
    logPath->clear();
    FileError e;
    if (!MassRenameLog::makeFolders(folder, &e))
        return reportFileError(err, e);
    for (int n = 1; n <= kMaxSameSecond; ++n) {
        const QString base = folder + runBaseName(start, n);
        const QString log = base + QStringLiteral(".log");
        // The plain journal and the logged run's journal take one name each.
        if (QFileInfo::exists(log) || QFileInfo::exists(journalPathFor(log))
            || QFileInfo::exists(base + QStringLiteral(".undo")))
            continue;
        const QString path = logged ? journalPathFor(log) : base + QStringLiteral(".undo");
        if (!journal.create(path, logged ? log : QString(), &e)) {
            if (e.number == 58) // taken between the look and the creation
                continue;
            return reportFileError(err, e);
        }
        if (logged)
            *logPath = log;
        // Without the pointer "Undo Last Run" is not offered; the journal
        // still serves an undo chosen by its name.
        setLastRun(folder, path);
        return reportFileError(err, {});
    }
    return reportFileError(err, fileErrorFromErrno(EEXIST));
}

QString lastRunJournal(const QString& folder)
{
    QFile file(folder + kLastRun);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString name = QString::fromUtf8(file.readLine()).trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || !QFileInfo::exists(folder + name))
        return QString();
    return folder + name;
}

bool hasUndoableChanges(const QString& journalPath)
{
    QFile file(journalPath);
    if (journalPath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    // Header, log line, then the first change.
    const QList<QByteArray> lines = file.read(4096).split('\n');
    if (lines.size() < 4 || lines.at(0) != "Velmora Rename Journal 2"
        || !(lines.at(2).startsWith("rename\t") || lines.at(2).startsWith("trailer\t")))
        return false;
    file.seek(qMax<qint64>(0, file.size() - 8));
    return !file.readAll().endsWith("\nundone\n");
}

QList<InterruptedRun> interruptedRuns(const QString& folder)
{
    QList<InterruptedRun> runs;
    const QStringList names = QDir(folder).entryList({ QStringLiteral("MassRename-*.undo") }, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QString path = folder + name;
        // Most journals are closed: their last line says so.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const qint64 size = file.size();
        file.seek(qMax<qint64>(0, size - 8));
        const QByteArray end = file.readAll();
        if (end.endsWith("\nend\n") || end.endsWith("\nnoted\n") || end.endsWith("\nundone\n"))
            continue;
        file.close();
        if (renameJournalInUse(path))
            continue;
        RenameJournalContents contents;
        if (!readRenameJournal(path, &contents, nullptr) || !contents.interrupted() || contents.noted || contents.undone
            || contents.records.isEmpty())
            continue;
        runs.append({ path, contents.logPath, contents.records.size() });
    }
    return runs;
}

bool noteInterruptedRun(const InterruptedRun& run, FileError* err)
{
    if (!run.logPath.isEmpty()) {
        QFile log(run.logPath);
        if (log.open(QIODevice::WriteOnly | QIODevice::Append))
            log.write(QStringLiteral("\r\n>> Run Interrupted: The Program Ended Before This Run Did; Its Undo Journal "
                                     "Holds %1 Changes\r\n")
                          .arg(run.changes)
                          .toUtf8());
    }
    return markRenameJournal(run.journalPath, JournalMark::Noted, err);
}

QString interruptedRunText(qsizetype changes)
{
    return QStringLiteral("The Mass Rename Of This Journal Was Interrupted: It Holds ") + QString::number(changes)
        + QStringLiteral(" Changes.");
}
