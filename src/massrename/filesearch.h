#pragma once

#include "foundfiles.h"

#include "platform/fileerror.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

// Collects the files of a folder tree whose names match one of some wildcard
// patterns, without regard to case: a folder's files first, then each subfolder
// completely (depth first). Files and subfolders are taken in name order
// without regard to case, so a run is repeatable. Links to folders are not
// followed, so a link loop cannot make the walk endless. Hidden folders
// (names beginning with ".") are left out: they hold the trash, caches and
// the like, not the user's songs. Hidden files are found like any other, so
// that a run can say it left them.
class FileSearch {
public:
    static constexpr qsizetype kDefaultLimit = 1000000;

    // A folder of the tree that could not be listed, and why.
    struct UnreadableFolder {
        QString folder; // ends in "/"
        FileError error;
    };

    explicit FileSearch(qsizetype limit = kDefaultLimit)
        : m_limit(limit)
    {
    }

    // Called once per folder before it is listed; returning true ends the
    // walk where it is (Found then holds what was found so far).
    void setStopCheck(std::function<bool()> stop) { m_stop = std::move(stop); }

    // Replaces Found by the matches below folder, in walk order. Stops once
    // more than the limit are found: Found then holds the first `limit`
    // matches and limitExceeded() is true.
    void startSearch(const QString& folder, const QStringList& patterns);
    // Matches of folder alone (no subfolders), in the same order and under
    // the same limit.
    void searchSingleFolder(const QString& folder, const QStringList& patterns);

    const FoundFiles& found() const { return m_found; }
    FoundFiles takeFound() { return std::exchange(m_found, {}); }
    bool limitExceeded() const { return m_exceeded; }
    bool stopped() const { return m_stopped; }
    // Folders that could not be listed, in walk order.
    const QList<UnreadableFolder>& unreadable() const { return m_unreadable; }

private:
    void reset(const QStringList& patterns);
    void searchFolder(const QString& path);
    // Appends the matching files of p (ending in "/"); false once the limit
    // is exceeded, the walk is stopped or p cannot be listed.
    bool collectMatches(const QString& p);

    qsizetype m_limit;
    QStringList m_patterns;
    FoundFiles m_found;
    QList<UnreadableFolder> m_unreadable;
    std::function<bool()> m_stop;
    bool m_exceeded = false;
    bool m_stopped = false;
};
