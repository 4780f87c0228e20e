#include "massrenamelog.h"

#include "platform/datafolder.h"

#include "massrenameundo.h"
#include "massrenameview.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The locale's long time form without its time-zone token.
QString timeFormatWithSeconds(const QLocale& locale)
{
    QString f = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar c : f) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.trimmed();
}

} // namespace

bool MassRenameLog::makeFolders(const QString& folder, FileError* err)
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    struct stat st { };
    if (::stat(path.constData(), &st) == 0)
        return reportFileError(err, S_ISDIR(st.st_mode) ? FileError {} : fileErrorFromErrno(ENOTDIR));
    for (qsizetype i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path.at(i) != '/')
            continue;
        const QByteArray part = path.left(i);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return reportFileError(err, fileErrorFromErrno(errno));
    }
    if (::stat(path.constData(), &st) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    return reportFileError(err, S_ISDIR(st.st_mode) ? FileError {} : fileErrorFromErrno(ENOTDIR));
}

QString MassRenameLog::fileNameFor(const QDateTime& start)
{
    const QLocale locale;
    return QStringLiteral("MassRename-") + locale.toString(start.date(), QStringLiteral("ddMMMyy")) + QLatin1Char('-')
        + start.time().toString(QStringLiteral("HHmmss")) + QStringLiteral(".log");
}

QString MassRenameLog::undoFileNameFor(const QDateTime& start)
{
    return fileNameFor(start).replace(0, 10, QStringLiteral("MassRenameUndo"));
}

QString MassRenameLog::defaultFolder()
{
    return userDataFolder();
}

QString MassRenameLog::generalDateTime(const QDateTime& time)
{
    const QLocale locale;
    const QString text = locale.toString(time.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(time.time(), timeFormatWithSeconds(locale));
    return text.trimmed();
}

bool MassRenameLog::open(const QString& path, FileError* err)
{
    close();
    FileError folderError;
    if (!makeFolders(QFileInfo(path).absolutePath(), &folderError))
        return reportFileError(err, folderError);
    m_file.setFileName(path);
    return openTruncated(m_file, err);
}

void MassRenameLog::writeLine(const QString& text)
{
    if (m_file.isOpen())
        m_file.write((text + kCrLf).toUtf8());
}

void MassRenameLog::writeOpening(const QString& settingsBody, const QDateTime& started)
{
    writeLine(QStringLiteral("Velmora - Mass Renaming Log") + kCrLf + kCrLf + settingsBody);
    writeLine(QStringLiteral("Started: ") + generalDateTime(started) + kCrLf);
}

void MassRenameLog::writeRenamed(const QString& dir, const QString& name, const QString& newName)
{
    writeLine(dir + name + QStringLiteral(" Renamed As ") + dir + newName);
}

void MassRenameLog::writeSameName(const QString& dir, const QString& name)
{
    writeSkipped(dir, name, QStringLiteral(" (Old Filename and New Formatted Filename Would Be The Same)"));
}

void MassRenameLog::writeSkipped(const QString& dir, const QString& name, const QString& reason)
{
    writeLine(QStringLiteral(">> Skipped: ") + dir + name + reason);
}

void MassRenameLog::writeCancelled()
{
    writeLine(QStringLiteral("Mass Renaming Cancelled!"));
}

void MassRenameLog::writeDeclined(const QString& dir, const QString& name)
{
    writeLine(QStringLiteral("No Replied To Renaming Of: ") + dir + name);
}

void MassRenameLog::writeZeroLength(const QString& dir, const QString& name)
{
    writeLine(QStringLiteral("Error: ") + dir + name + QStringLiteral(" (Zero Length File)"));
}

void MassRenameLog::writeRenameFailed(const QString& dir, const QString& name, const QString& description)
{
    writeLine(QStringLiteral(">> Error: Could Not Rename ") + dir + name + QStringLiteral(" (") + description
        + QLatin1Char(')'));
}

void MassRenameLog::writeUnreadable(const QString& dir, const QString& name, const QString& description)
{
    writeLine(QStringLiteral(">> Error: Could Not Read ") + dir + name + QStringLiteral(" (") + description
        + QLatin1Char(')'));
}

void MassRenameLog::writeLimitNote(qsizetype limit)
{
    writeLine(QStringLiteral(">> Note: More Than ") + QString::number(limit)
        + QStringLiteral(" Files Found; Only The First ") + QString::number(limit)
        + QStringLiteral(" Are Processed, The Rest Were Left Untouched"));
}

void MassRenameLog::writeClosing(const MassRenameCounters& c, const QDateTime& completed)
{
    writeLine(kCrLf + QStringLiteral("Operation Complete - ") + QString::number(c.total)
        + QStringLiteral(" Total Files (") + QString::number(c.skipped) + QStringLiteral(" Skipped, ")
        + QString::number(c.errors) + QStringLiteral(" Errors, ") + QString::number(c.renamed)
        + QStringLiteral(" Renamed)"));
    writeLine(kCrLf + QStringLiteral("Completed: ") + generalDateTime(completed));
    close();
}

void MassRenameLog::writeFolderUnreadable(const QString& dir, const QString& description)
{
    writeLine(QStringLiteral(">> Error: Could Not Read Folder ") + dir + QStringLiteral(" (") + description
        + QLatin1Char(')'));
}

void MassRenameLog::writeTagWriteFailed(const QString& path, const QString& description)
{
    writeLine(QStringLiteral(">> Error: Could Not Write The ID3v1 Tag Of ") + path + QStringLiteral(" (") + description
        + QLatin1Char(')'));
}

void MassRenameLog::writeTimeNotKept(const QString& path, const QString& description)
{
    writeLine(QStringLiteral(">> Warning: ") + path + QStringLiteral(" (") + description + QLatin1Char(')'));
}

void MassRenameLog::writeJournalFailed(const QString& journalPath, const QString& description)
{
    writeLine(QStringLiteral(">> Error: Could Not Write The Undo Journal ") + journalPath + QStringLiteral(" (")
        + description + QStringLiteral("); Mass Renaming Stopped"));
}

void MassRenameLog::writeStopped(qint64 done, qint64 found)
{
    writeLine(QStringLiteral("Mass Renaming Stopped By The User After ") + QString::number(done)
        + QStringLiteral(" Of ") + QString::number(found) + QStringLiteral(" Files"));
}

void MassRenameLog::writeUndoOpening(const QString& source, const QDateTime& started)
{
    writeLine(QStringLiteral("Velmora - Mass Renaming Undo Log") + kCrLf + kCrLf + QStringLiteral("Undoing: ") + source
        + kCrLf);
    writeLine(QStringLiteral("Started: ") + generalDateTime(started) + kCrLf);
}

void MassRenameLog::writeLeftAlone(const QString& path, const QString& reason)
{
    writeLine(QStringLiteral(">> Left Alone: ") + path + reason);
}

void MassRenameLog::writeRestoreFailed(const QString& path, const QString& description)
{
    writeLine(QStringLiteral(">> Error: Could Not Restore The ID3v1 Tag Of ") + path + QStringLiteral(" (")
        + description + QLatin1Char(')'));
}

void MassRenameLog::writeRestored(const QString& path)
{
    writeLine(QStringLiteral(">> Restored: ") + path);
}

void MassRenameLog::writeNeverMade(const QString& path)
{
    writeLine(QStringLiteral(">> Never Made: ") + path);
}

void MassRenameLog::writeUndoClosing(const UndoTally& t, const QDateTime& completed)
{
    writeLine(kCrLf + QStringLiteral("Undo Complete - ") + QString::number(t.handled) + QStringLiteral(" Changes (")
        + QString::number(t.renamedBack) + QStringLiteral(" Renamed Back, ") + QString::number(t.restored)
        + QStringLiteral(" Restored, ") + QString::number(t.neverMade) + QStringLiteral(" Never Made, ")
        + QString::number(t.leftAlone) + QStringLiteral(" Left Alone, ") + QString::number(t.errors)
        + QStringLiteral(" Errors)"));
    writeLine(kCrLf + QStringLiteral("Completed: ") + generalDateTime(completed));
    close();
}

void MassRenameLog::close()
{
    if (m_file.isOpen())
        m_file.close();
}
