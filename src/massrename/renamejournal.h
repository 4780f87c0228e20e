#pragma once

#include "platform/filesystem.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// One rename done by a mass rename run, with what undoing it needs.
struct RenameRecord {
    QString dir; // ends in "/"
    QString oldName;
    QString newName;
    // The file as the run left it (known when the run kept a journal).
    bool haveStamp = false;
    FileStamp after;
    // Without a stamp: a file modified after this moment (nanoseconds since
    // the epoch) has changed since the run; -1 when unknown.
    qint64 unchangedUntilNs = -1;
    // When the run rewrote the end of the file (its ID3v1 trailer): the
    // length the file had without its trailer, and the bytes that followed
    // (the old trailer, or none). -1: the run left the bytes alone.
    qint64 tailKeep = -1;
    QByteArray tail;
};

// The journal kept beside a run's log: its path is the log's plus ".undo".
QString journalPathFor(const QString& logPath);

// Splits a log line "dir + old Renamed As dir + new" into its parts. False
// for any other line. A name may itself hold " Renamed As ": the split is
// the one where both sides have the same folder.
bool parseRenamedLine(const QString& line, QString* dir, QString* oldName, QString* newName);

// Writes a run's journal: one text line per rename, its fields percent-
// encoded UTF-8 separated by tabs, so any name fits on one line.
class RenameJournal {
public:
    bool open(const QString& path, FileError* err);
    bool isOpen() const { return m_file.isOpen(); }
    void append(const RenameRecord& record);
    void close();

private:
    QFile m_file;
};

// The renames a log records, in run order: from its journal when there is
// one, else from its "Renamed As" lines (CR LF ended), taking the log's
// own modification time as the moment after which a file has changed.
bool readRenameRecords(const QString& logPath, QList<RenameRecord>* out, FileError* err);
