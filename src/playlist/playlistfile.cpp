#include "playlistfile.h"

#include "platform/filesystem.h"
#include "platform/prompter.h"
#include "settings/settingsstore.h"
#include "text/texthelpers.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kTitle = QStringLiteral("Velmora");
const QString kExtension = QStringLiteral(".m3u");
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
} // namespace

QString proposePlaylistName(const QString& folder)
{
    QString path = folder;
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1) + kExtension;
}

QString playlistFileName(const QString& answer)
{
    QString name = trimSpaces(answer);
    if (name.isEmpty())
        return {};
    if (!name.endsWith(kExtension, Qt::CaseInsensitive))
        name += kExtension;
    return name;
}

QString playlistLine(const QString& name)
{
    if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r')))
        return {};
    if (name.startsWith(QLatin1Char('#')) || name.startsWith(QLatin1Char(' ')) || name.startsWith(QLatin1Char('\t')))
        return QStringLiteral("./") + name;
    return name;
}

QByteArray playlistText(const QStringList& names, QStringList* leftOut)
{
    QByteArray text = QByteArrayLiteral("#EXTM3U") + kLineEnd;
    for (const QString& name : names) {
        const QString line = playlistLine(name);
        if (!line.isEmpty())
            text += QFile::encodeName(line) + kLineEnd;
        else if (leftOut)
            leftOut->append(name);
    }
    return text;
}

FileError writePlaylistFile(const QString& target, const QByteArray& text)
{
    const QByteArray path = QFile::encodeName(target);
    struct stat st;
    // Writing through a link would change a file somewhere else.
    if (::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode) && ::unlink(path.constData()) != 0)
        return fileErrorFromErrno(errno);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return fileErrorFromErrno(errno);
    int err = 0;
    for (qsizetype done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.constData() + done, size_t(text.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            err = errno;
            break;
        }
        done += n;
    }
    if (::close(fd) != 0 && err == 0)
        err = errno;
    return fileErrorFromErrno(err);
}

namespace {

QString errorText(const FileError& error)
{
    return QStringLiteral("Error: ") + error.description + QStringLiteral(" (") + QString::number(error.number)
        + QLatin1Char(')');
}

// A name shown in a message: its line breaks as "?", so that one name stays
// on one line.
QString shownName(QString name)
{
    return name.replace(QLatin1Char('\r'), QLatin1Char('?')).replace(QLatin1Char('\n'), QLatin1Char('?'));
}

} // namespace

PlaylistResult createPlaylist(Prompter& prompter, const QString& folder, const QStringList& selectedNames)
{
    const QString answer = prompter.inputBox(
        kTitle, QStringLiteral("Enter The Name Of The Play List File:"), proposePlaylistName(folder));
    const QString name = playlistFileName(answer);
    if (name.isEmpty()) {
        prompter.message(
            kTitle, QStringLiteral("No PlayList File Specified!\r\n\r\nNo File Saved."), MsgIcon::Critical);
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
    const QString target = withTrailingSlash(folder) + name;
    QStringList leftOut;
    const FileError error = writePlaylistFile(target, playlistText(selectedNames, &leftOut));
    if (!error.ok()) {
        prompter.message(kTitle,
            QStringLiteral("PlayList Could Not Be Saved As:\r\n\r\n") + target + QStringLiteral("\r\n\r\n")
                + errorText(error),
            MsgIcon::Critical);
        return PlaylistResult::WriteFailed;
    }
    prompter.message(kTitle, QStringLiteral("PlayList Has Been Saved As: \r\n\r\n") + target, MsgIcon::Information);
    if (!leftOut.isEmpty()) {
        QStringList shown;
        for (const QString& n : leftOut)
            shown << shownName(n);
        prompter.message(kTitle,
            QStringLiteral("These Files Were Left Out Of The PlayList, "
                           "Because Their Names Hold A Line Break:\r\n\r\n")
                + shown.join(QStringLiteral("\r\n")),
            MsgIcon::Exclamation);
    }
    return PlaylistResult::Saved;
}
