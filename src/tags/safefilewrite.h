#pragma once

#include "platform/fileerror.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

// Replaces the bytes [start, end) of a file by `bytes` without ever losing
// the rest of it:
// - the same length is written in place (not flushed: only the range's own
//   bytes are at stake);
// - removing the end of the file truncates it;
// - anything else writes a copy in the same folder (a hidden file named
//   ".velmora-copy-" + 8 hex digits of the SHA-1 of the file's name + "-" +
//   the name's first 40 characters + "." + 6 random characters), flushes
//   it, checks that every byte outside the range arrived intact, gives it
//   what the user set on the original (owner and group, extended attributes
//   and ACL, permission bits with the set-group-ID bit: carryover.h) and
//   renames it over the original. The holes of a sparse file stay holes.
// A file its owner may not write, a non-regular file, a range past the end
// and (for the copy) a folder its owner may not write, a file with other
// names (hard links, which a copy would leave with the old bytes) and a file
// whose owner the copy cannot keep (another user's) are refused. On false
// the original is unchanged and *err (when given) says why. notKept (when
// given) gets what the copy could not keep, one line each; the write itself
// succeeded then.
bool replaceFileRange(const QString& path, qint64 start, qint64 end, const QByteArray& bytes, FileError* err = nullptr,
    QStringList* notKept = nullptr);

// The same with the new bytes given in pieces, written one after the other
// (a large tag is not put together in memory first).
bool replaceFileRange(const QString& path, qint64 start, qint64 end, const QList<QByteArrayView>& pieces,
    FileError* err = nullptr, QStringList* notKept = nullptr);

// The same, with `spoil` called on the finished copy (its descriptor) before
// it is checked: for tests of that check.
bool replaceFileRange(const QString& path, qint64 start, qint64 end, const QByteArray& bytes, FileError* err,
    const std::function<void(int)>& spoil);

// Removes the copies replaceFileRange left beside these files when the
// program was killed during a rewrite (a link's copies lie beside the file it
// points to). A file's copies are removed only when the file is whole: it
// exists, is a regular file and its tags read; otherwise a copy may be all
// that is left of it, and it stays. Copies named the older way
// (".velmora-" + name + "." + 6 characters) are recognised for names shorter
// than 40 characters, where that name is unambiguous. Returns the copies
// removed.
QStringList removeLeftoverCopies(const QStringList& files);

// The start of the name of a hidden copy of the file fileName (a name
// without its folder) beside it, up to the random characters: copies that
// other writers make carry the same name, so removeLeftoverCopies finds
// them.
QString copyNamePrefix(const QString& fileName);

// Makes a finished rename in folder durable (fsync of the folder). The copy
// renamed was synced before, so the name leads to a whole file, old or new,
// with or without this sync: it decides only whether a crash can still take
// the file back to its old bytes. While a FolderSyncBatch lives in this
// thread, the sync waits for the batch's next flush.
void syncRenamedFolder(const QString& folder);

// The folder syncs of a run over many files, gathered: each folder is synced
// once at every flush() and at the end, not once a file. Batches nest (the
// innermost gathers).
class FolderSyncBatch {
public:
    FolderSyncBatch();
    ~FolderSyncBatch();
    FolderSyncBatch(const FolderSyncBatch&) = delete;
    FolderSyncBatch& operator=(const FolderSyncBatch&) = delete;

    void add(const QString& folder) { m_folders.insert(folder); }
    void flush();
    // The folders gathered, handed to another thread's batch: this one
    // forgets them.
    QSet<QString> take() { return std::exchange(m_folders, {}); }

private:
    QSet<QString> m_folders;
    FolderSyncBatch* m_outer;
};
