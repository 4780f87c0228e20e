#include "filefacts.h"

#include "settings/settingsstore.h"
#include "tagedit/filesize.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>

#include <sys/stat.h>

namespace {

// The entry of folder spelled like name: the exact spelling when present,
// else the first one equal without regard to case; "" when none.
QString entrySpelling(const QString& folder, const QString& name)
{
    const QStringList entries
        = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (entries.contains(name))
        return name;
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return {};
}

} // namespace

void FileFacts::setFullPathName(const QString& path)
{
    if (path.isEmpty())
        return;
    m_fullPathName = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    refresh();
}

void FileFacts::refresh()
{
    struct stat st { };
    if (m_fullPathName.isEmpty() || ::stat(QFile::encodeName(m_fullPathName).constData(), &st) != 0) {
        m_exists = false;
        return;
    }
    m_exists = true;

    m_fullPathName = spelledOnDisc(m_fullPathName);
    const QFileInfo fi(m_fullPathName);
    m_fileName = fi.fileName();
    m_filePath = m_fullPathName.left(m_fullPathName.size() - m_fileName.size());
    if (!m_filePath.endsWith(QLatin1Char('/')))
        m_filePath += QLatin1Char('/');
    const qsizetype dot = m_fileName.lastIndexOf(QLatin1Char('.'));
    m_fileExtension = dot < 0 ? QString() : m_fileName.mid(dot + 1);

    m_size = st.st_size;
    m_allocated = qint64(st.st_blocks) * 512;

    m_attributes = 0;
    if ((st.st_mode & S_IWUSR) == 0)
        m_attributes |= AttrReadOnly;
    if (m_fileName.startsWith(QLatin1Char('.')))
        m_attributes |= AttrHidden;
    if (!S_ISREG(st.st_mode))
        m_attributes |= AttrSystem;
    if (S_ISDIR(st.st_mode))
        m_attributes |= AttrDirectory;

    const QDateTime born = fi.birthTime();
    m_created = (born.isValid() ? born : fi.metadataChangeTime()).toLocalTime();
    m_accessed = fi.lastRead().toLocalTime();
    m_modified = fi.lastModified().toLocalTime();

    m_typeName = trimSpaces(QMimeDatabase().mimeTypeForFile(fi).comment());
    if (m_typeName.isEmpty())
        m_typeName = fallbackTypeName(m_fileExtension);
}

QString FileFacts::formatFileSize(qint64 bytes)
{
    return formatFileSizeWithBytes(bytes);
}

QString FileFacts::formatFileDate(const QDateTime& when)
{
    const QLocale locale;
    const QDateTime local = when.toLocalTime();
    return locale.toString(local.date(), QLocale::LongFormat) + QLatin1Char(' ')
        + locale.toString(local.time(), QLocale::LongFormat);
}

QString FileFacts::fallbackTypeName(const QString& extension)
{
    return trimSpaces(extension.toUpper() + QStringLiteral(" File"));
}

QString FileFacts::spelledOnDisc(const QString& absolutePath)
{
    const QStringList parts = absolutePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString resolved = QStringLiteral("/");
    bool found = true;
    for (const QString& part : parts) {
        const QString spelled = found ? entrySpelling(resolved, part) : QString();
        found = !spelled.isEmpty();
        if (!resolved.endsWith(QLatin1Char('/')))
            resolved += QLatin1Char('/');
        resolved += found ? spelled : part;
    }
    return resolved;
}
