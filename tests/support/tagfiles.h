#pragma once

#include "support/id3builder.h"
#include "support/mp3builder.h"
#include "support/qttesthelpers.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/stat.h>

// Test files for the tag, tag editing and renaming tests: a tag (or none),
// recognisable audio and trailing bytes, written into a temporary folder,
// and the means to check afterwards that the audio survived.
namespace TagTestFiles {

inline QByteArray audio(int frames = 12)
{
    return Mp3Builder::audioFrames(frames);
}

inline QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    return Mp3Builder::writeFile(path, bytes) ? path : QString();
}

inline QByteArray read(const QString& path)
{
    return Mp3Builder::readFile(path);
}

// The file still holds the audio, unchanged and in one piece, followed by
// exactly `after` (the trailing tags).
inline bool audioIntact(const QString& path, const QByteArray& audioBytes, const QByteArray& after = QByteArray())
{
    const QByteArray bytes = read(path);
    const qsizetype at = bytes.indexOf(audioBytes);
    return at >= 0 && bytes.mid(at + audioBytes.size()) == after;
}

inline ino_t inode(const QString& path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

inline mode_t mode(const QString& path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

} // namespace TagTestFiles
