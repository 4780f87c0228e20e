#include "writeaccess.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool mayChangeUnasked(const QString& path)
{
    if (path.isEmpty() || path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).startsWith(QLatin1Char('.')))
        return false;
    const QByteArray native = QFile::encodeName(path);
    struct stat st { };
    if (::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode) || !(st.st_mode & S_IWUSR))
        return false;
    const uid_t me = ::geteuid();
    if (me != 0 && st.st_uid != me)
        return false;
    // Asks the system without opening the file (an open for writing alone
    // tells file watchers it changed): a read-only mount, an immutable file.
    return ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) == 0;
}

QString writeProtectedQuestion(const QString& path, const QString& command)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("The File Is Read-Only:") + crlf + crlf + path + crlf + crlf
        + QStringLiteral("Make It Writable And ") + command + QLatin1Char('?');
}
