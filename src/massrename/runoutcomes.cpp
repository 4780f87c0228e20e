#include "runoutcomes.h"

void RunOutcomes::folderUnreadable(const QString& folder, const FileError& error)
{
    ++m_counters.errors;
    m_log.writeFolderUnreadable(folder, error.description);
    m_view.addResultRow(folder, QString(), QString(), ResultColour::Failed);
}

void RunOutcomes::skipped(const QString& dir, const QString& name, const QString& reason)
{
    ++m_counters.skipped;
    m_view.addResultRow(dir, name, name, ResultColour::Failed);
    setStatus(QStringLiteral("Skipping ") + dir + name);
    m_log.writeSkipped(dir, name, reason);
}

void RunOutcomes::sameName(const QString& dir, const QString& name, const QString& newName)
{
    m_view.addResultRow(dir, name, newName, ResultColour::Failed);
    m_log.writeSameName(dir, name);
    ++m_counters.skipped;
    setStatus(QStringLiteral("Skipping ") + dir + name);
}

void RunOutcomes::declined(const QString& dir, const QString& name, const QString& newName)
{
    ++m_counters.skipped;
    setStatus(QStringLiteral("Skipping ") + dir + name);
    m_view.addResultRow(dir, name, newName, ResultColour::Failed);
    m_log.writeDeclined(dir, name);
}

void RunOutcomes::zeroLength(const QString& dir, const QString& name)
{
    setStatus(QStringLiteral("Error: Zero-Length File Encountered"));
    m_log.writeZeroLength(dir, name);
    ++m_counters.errors;
    m_view.addResultRow(dir, name, QString(), ResultColour::Failed);
}

void RunOutcomes::failed(
    const QString& dir, const QString& name, const QString& newName, const QString& description, bool renameFailed)
{
    m_view.addResultRow(dir, name, newName, ResultColour::Failed);
    if (renameFailed)
        m_log.writeRenameFailed(dir, name, description);
    else
        m_log.writeUnreadable(dir, name, description);
    ++m_counters.errors;
    setStatus(QStringLiteral("Error On ") + dir + name + QStringLiteral(" - View Log File"));
}

void RunOutcomes::renamed(const QString& dir, const QString& name, const QString& newName)
{
    ++m_counters.renamed;
    m_log.writeRenamed(dir, name, newName);
    m_view.addResultRow(dir, name, newName, ResultColour::Renamed);
}
