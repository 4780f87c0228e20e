#include "playlistfile.h"

#include "platform/filesystem.h"
#include "platform/prompter.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QFile>

namespace {
const QString kTitle = QStringLiteral("Velmora");
const QString kExtension = QStringLiteral(".m3u");
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
} // namespace

QStringList ListMp3Files(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    // Name filters of QDir ignore case unless told otherwise.
    return QDir(folder).entryList({QStringLiteral("*.mp3")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QString ProposePlaylistName(const QString& folder)
{
    QString path = folder;
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1) + kExtension;
}

QString PlaylistFileName(const QString& answer)
{
    QString name = TrimSpaces(answer);
    if (name.isEmpty())
        return {};
    if (!name.endsWith(kExtension, Qt::CaseInsensitive))
        name += kExtension;
    return name;
}

bool WritePlaylistLines(QIODevice& out, const QStringList& names)
{
    if (out.write(QByteArrayLiteral("#EXTM3U") + kLineEnd) < 0)
        return false;
    for (const QString& name : names)
        if (out.write(QFile::encodeName(TrimSpaces(name)) + kLineEnd) < 0)
            return false;
    return true;
}

bool WritePlaylistFile(const QString& target, const QStringList& names)
{
    QFile file(target);
    // Unbuffered, so that a failing write is seen at once and whatever went
    // before it is on disc.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    const bool written = WritePlaylistLines(file, names);
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

PlaylistResult CreatePlaylist(Prompter& prompter, const QString& folder, const QStringList& selectedNames)
{
    const QString answer = prompter.inputBox(kTitle, QStringLiteral("Enter The Name Of The Play List File:"),
                                             ProposePlaylistName(folder));
    const QString name = PlaylistFileName(answer);
    if (name.isEmpty()) {
        prompter.message(kTitle, QStringLiteral("No PlayList File Specified!\r\n\r\nNo File Saved."), MsgIcon::Critical);
        return PlaylistResult::NoName;
    }
    // A typed name must not place the playlist anywhere but in the folder.
    if (isIllegalFileName(name)) {
        prompter.message(kTitle,
                         QStringLiteral("Invalid PlayList File Name!\r\n\r\n"
                                        "A File Name May Not Contain \"/\".\r\nNo File Saved."),
                         MsgIcon::Critical);
        return PlaylistResult::BadName;
    }
    const QString target = (folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')) + name;
    if (!WritePlaylistFile(target, selectedNames))
        return PlaylistResult::WriteFailed;
    prompter.message(kTitle, QStringLiteral("PlayList Has Been Saved As: \r\n\r\n") + target.toUpper(),
                     MsgIcon::Information);
    return PlaylistResult::Saved;
}
