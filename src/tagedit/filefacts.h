#pragma once

#include <QDateTime>
#include <QString>

// The file-system facts of one file: its names, sizes, three time stamps,
// attribute flags and the desktop's type name, with the display texts of a
// size and a date. Empty after creation; filled by setFullPathName and
// refreshed on demand by Refresh. Folders end in "/".
//
// On Linux: the creation time is the birth time where the file system keeps
// one, else the status-change time; the short (8.3) names repeat the long
// forms; the compressed size is the space allocated on disc (blocks x 512).
// The icon is not kept here (see ui/fileicon.h).
class FileFacts {
public:
    // Attribute bits.
    static constexpr quint32 AttrReadOnly = 0x1; // the owner lacks write permission
    static constexpr quint32 AttrHidden = 0x2; // the name begins with "."
    static constexpr quint32 AttrSystem = 0x4; // not a regular file
    static constexpr quint32 AttrDirectory = 0x10;
    static constexpr quint32 AttrArchive = 0x20; // never set on Linux
    static constexpr quint32 AttrTemporary = 0x100; // never set on Linux
    static constexpr quint32 AttrCompressed = 0x800; // never set on Linux

    QString fullPathName() const { return m_fullPathName; }
    // Makes path absolute (a relative one against the current folder),
    // stores it and refreshes. An empty path changes nothing.
    void setFullPathName(const QString& path);
    // Looks the file up again. When it is gone, fileExists and pathExists
    // become false and the other members keep their values.
    void refresh();

    QString fileName() const { return m_fileName; } // as the file system spells it
    QString filePath() const { return m_filePath; } // folder, as spelled on disc, with "/"
    QString fileExtension() const { return m_fileExtension; } // after the last "."; "" without one
    QString shortPathName() const { return m_fullPathName; }
    QString shortName() const { return m_fileName; }
    QString shortPath() const { return m_filePath; }
    QString displayName() const { return m_fileName; }
    // The desktop's name of the file's type ("MP3 audio"), else fallbackTypeName.
    QString typeName() const { return m_typeName; }

    bool fileExists() const { return m_exists; }
    bool pathExists() const { return m_exists; }

    // Size in bytes, as two 32-bit halves and whole.
    quint32 fileSize() const { return quint32(quint64(m_size) & 0xFFFFFFFFu); }
    quint32 fileSizeHigh() const { return quint32(quint64(m_size) >> 32); }
    qint64 size() const { return m_size; }
    // Bytes allocated on disc, the same ways.
    quint32 compressedFileSize() const { return quint32(quint64(m_allocated) & 0xFFFFFFFFu); }
    quint32 compressedFileSizeHigh() const { return quint32(quint64(m_allocated) >> 32); }
    qint64 compressedSize() const { return m_allocated; }

    // Local time.
    QDateTime creationTime() const { return m_created; }
    QDateTime lastAccessTime() const { return m_accessed; }
    QDateTime modifyTime() const { return m_modified; }

    quint32 attributes() const { return m_attributes; }
    bool attrReadOnly() const { return m_attributes & AttrReadOnly; }
    bool attrHidden() const { return m_attributes & AttrHidden; }
    bool attrSystem() const { return m_attributes & AttrSystem; }
    bool attrArchive() const { return m_attributes & AttrArchive; }
    bool attrTemporary() const { return m_attributes & AttrTemporary; }
    bool attrCompressed() const { return m_attributes & AttrCompressed; }

    // "1,023 bytes", "1.50KB (1,536 bytes)": the size text, with the exact
    // count in parentheses from 1024 bytes on. Locale digits.
    static QString formatFileSize(qint64 bytes);
    // The locale's long date, one blank, the locale's long time.
    static QString formatFileDate(const QDateTime& when);
    // The upper-cased extension + " File", trimmed: "MP3 File"; "File"
    // for a name without extension.
    static QString fallbackTypeName(const QString& extension);
    // path (absolute) with each folder and the name spelled as stored on
    // disc, found without regard to case where the exact spelling is not
    // there. Components that cannot be found are kept as given.
    static QString spelledOnDisc(const QString& absolutePath);

private:
    QString m_fullPathName;
    QString m_fileName;
    QString m_filePath;
    QString m_fileExtension;
    QString m_typeName;
    bool m_exists = false;
    qint64 m_size = 0;
    qint64 m_allocated = 0;
    QDateTime m_created;
    QDateTime m_accessed;
    QDateTime m_modified;
    quint32 m_attributes = 0;
};
