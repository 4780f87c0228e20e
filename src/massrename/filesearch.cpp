#include "filesearch.h"

#include <QDir>

namespace {

QString withSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

constexpr QDir::SortFlags kNameOrder = QDir::Name | QDir::IgnoreCase;

} // namespace

void FileSearch::StartSearch(const QString& folder, const QString& pattern)
{
    m_found.clear();
    m_exceeded = false;
    m_pattern = pattern;
    SearchFolder(folder);
}

void FileSearch::SearchSingleFolder(const QString& folder, const QString& pattern)
{
    m_found.clear();
    m_exceeded = false;
    m_pattern = pattern;
    CollectMatches(withSlash(folder));
}

void FileSearch::SearchFolder(const QString& path)
{
    const QString p = withSlash(path);
    const QDir dir(p);
    if (!dir.exists())
        return;
    if (!CollectMatches(p))
        return;
    const QStringList subfolders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, kNameOrder);
    for (const QString& name : subfolders) {
        SearchFolder(p + name);
        if (m_exceeded)
            return;
    }
}

bool FileSearch::CollectMatches(const QString& p)
{
    // QDir matches name filters without regard to case unless told otherwise.
    const QStringList names = QDir(p).entryList(QStringList{m_pattern}, QDir::Files, kNameOrder);
    for (const QString& name : names) {
        if (m_found.size() >= m_limit) {
            m_exceeded = true;
            return false;
        }
        m_found << p + name;
    }
    return true;
}
