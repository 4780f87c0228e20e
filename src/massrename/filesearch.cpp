#include "filesearch.h"

#include "text/texthelpers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <limits>

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
    // The names alone, packed: QDir::entryList would keep a QFileInfo per
    // file to sort them. The same listing (QDir matches name filters without
    // regard to case) and the same sort over it give the same order.
    FoundFiles::Folder folder { p, {}, {} };
    QDirIterator it(p, m_patterns, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QByteArray name = it.fileName().toUtf8();
        // Names are found by 32-bit offsets: a folder whose names pass 4 GiB
        // is not listed.
        if (folder.names.size() + name.size() >= std::numeric_limits<FoundFiles::Offset>::max()) {
            m_unreadable.append({ p, fileErrorFromErrno(EOVERFLOW) });
            return false;
        }
        folder.starts.push_back(FoundFiles::Offset(folder.names.size()));
        folder.names.append(name).append('\0');
    }
    const char* names = folder.names.constData();
    std::sort(folder.starts.begin(), folder.starts.end(), [names](FoundFiles::Offset a, FoundFiles::Offset b) {
        return compareNamesIgnoringCase(names + a, names + b) < 0;
    });
    const qsizetype room = m_limit - m_found.size();
    if (qsizetype(folder.starts.size()) > room) {
        folder.starts.resize(size_t(room));
        m_exceeded = true;
    }
    folder.starts.shrink_to_fit();
    folder.names.squeeze();
    m_found.addFolder(std::move(folder));
    return !m_exceeded;
}
