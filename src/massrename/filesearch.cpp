#include "filesearch.h"

#include "text/texthelpers.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <dirent.h>

namespace {

constexpr QDir::SortFlags kNameOrder = QDir::Name | QDir::IgnoreCase;

// QDir lists an unreadable folder as empty; opening it once tells why.
FileError listingError(const QString& folder)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return fileErrorFromErrno(errno);
    ::closedir(dir);
    return {};
}

} // namespace

void FileSearch::reset(const QStringList& patterns)
{
    m_found.clear();
    m_unreadable.clear();
    m_exceeded = false;
    m_stopped = false;
    m_patterns = patterns;
}

void FileSearch::startSearch(const QString& folder, const QStringList& patterns)
{
    reset(patterns);
    searchFolder(folder);
}

void FileSearch::searchSingleFolder(const QString& folder, const QStringList& patterns)
{
    reset(patterns);
    collectMatches(withTrailingSlash(folder));
}

void FileSearch::searchFolder(const QString& path)
{
    const QString p = withTrailingSlash(path);
    if (!collectMatches(p))
        return;
    const QStringList subfolders = QDir(p).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, kNameOrder);
    for (const QString& name : subfolders) {
        searchFolder(p + name);
        if (m_exceeded || m_stopped)
            return;
    }
}

bool FileSearch::collectMatches(const QString& p)
{
    if (m_stop && m_stop()) {
        m_stopped = true;
        return false;
    }
    const FileError error = listingError(p);
    if (!error.ok()) {
        m_unreadable.append({ p, error });
        return false;
    }
    // QDir matches name filters without regard to case unless told otherwise.
    const QStringList names = QDir(p).entryList(m_patterns, QDir::Files | QDir::Hidden, kNameOrder);
    for (const QString& name : names) {
        if (m_found.size() >= m_limit) {
            m_exceeded = true;
            return false;
        }
        m_found << p + name;
    }
    return true;
}
