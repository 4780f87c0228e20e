#include "foundfiles.h"

FoundFile FoundFiles::ConstIterator::operator*() const
{
    const Folder& folder = m_files->m_folders[size_t(m_folder)];
    return { folder.dir, QString::fromUtf8(folder.names.constData() + folder.starts[size_t(m_at)]) };
}

FoundFiles::ConstIterator& FoundFiles::ConstIterator::operator++()
{
    if (++m_at == qsizetype(m_files->m_folders[size_t(m_folder)].starts.size())) {
        ++m_folder;
        m_at = 0;
    }
    return *this;
}

void FoundFiles::addFolder(Folder folder)
{
    if (folder.starts.empty())
        return;
    m_count += qsizetype(folder.starts.size());
    m_folders.push_back(std::move(folder));
}

void FoundFiles::clear()
{
    m_folders.clear();
    m_count = 0;
}

QStringList FoundFiles::paths() const
{
    QStringList paths;
    paths.reserve(m_count);
    for (const FoundFile& file : *this)
        paths << file.dir + file.name;
    return paths;
}

int compareNamesIgnoringCase(const char* a, const char* b)
{
    // QDir compares the names made lower case (QString::toLower, which may
    // lengthen a name, e.g. for U+0130). Plain ASCII is done byte by byte;
    // anything else is decoded and left to QString.
    for (const char *p = a, *q = b;; ++p, ++q) {
        const uchar c = uchar(*p);
        const uchar d = uchar(*q);
        if ((c | d) & 0x80)
            return QString::fromUtf8(a).toLower().compare(QString::fromUtf8(b).toLower());
        const uchar lc = c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
        const uchar ld = d >= 'A' && d <= 'Z' ? d + ('a' - 'A') : d;
        if (lc != ld)
            return lc < ld ? -1 : 1;
        if (c == 0)
            return 0;
    }
}
