#pragma once

#include <QString>
#include <QStringList>

// Collects the files of a folder tree whose names match a wildcard pattern,
// without regard to case: a folder's files first, then each subfolder
// completely (depth first). Files and subfolders are taken in name order
// without regard to case, so a run is repeatable. Links to folders are not
// followed, so a link loop cannot make the walk endless. Hidden files and
// folders (names beginning with ".") are left out: they hold the trash,
// caches and the "._" companions other systems leave, not the user's songs.
class FileSearch {
public:
    static constexpr qsizetype kDefaultLimit = 1000000;

    explicit FileSearch(qsizetype limit = kDefaultLimit) : m_limit(limit) {}

    // Replaces Found by the matches below folder (full paths). Stops once
    // more than the limit are found: Found then holds the first `limit`
    // matches and LimitExceeded() is true.
    void StartSearch(const QString& folder, const QString& pattern);
    // Matches of folder alone (no subfolders), in the same order and under
    // the same limit.
    void SearchSingleFolder(const QString& folder, const QString& pattern);

    const QStringList& Found() const { return m_found; }
    QStringList TakeFound() { return std::move(m_found); }
    bool LimitExceeded() const { return m_exceeded; }

private:
    void SearchFolder(const QString& path);
    // Appends the matching files of p (ending in "/"); false once the limit
    // is exceeded.
    bool CollectMatches(const QString& p);

    qsizetype m_limit;
    QString m_pattern;
    QStringList m_found;
    bool m_exceeded = false;
};
