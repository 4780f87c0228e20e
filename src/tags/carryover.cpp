#include "carryover.h"

#include <QByteArray>
#include <QList>

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const char kAccessAcl[] = "system.posix_acl_access";
const char kCapabilities[] = "security.capability";

QString reason(int errnum)
{
    return QString::fromLocal8Bit(std::strerror(errnum));
}

// The names of fd's extended attributes; false when the file system keeps
// none (or they cannot be listed), with errno set.
bool attributeNames(int fd, QList<QByteArray>* names)
{
    names->clear();
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return false;
        QByteArray list(qsizetype(size), '\0');
        const ssize_t got = size == 0 ? 0 : ::flistxattr(fd, list.data(), size_t(size));
        if (got < 0 && errno == ERANGE)
            continue; // grew in between
        if (got < 0)
            return false;
        list.truncate(got);
        for (const QByteArray& name : list.split('\0'))
            if (!name.isEmpty())
                names->append(name);
        return true;
    }
    errno = ERANGE;
    return false;
}

bool attributeValue(int fd, const QByteArray& name, QByteArray* value)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = ::fgetxattr(fd, name.constData(), nullptr, 0);
        if (size < 0)
            return false;
        value->resize(qsizetype(size));
        const ssize_t got = size == 0 ? 0 : ::fgetxattr(fd, name.constData(), value->data(), size_t(size));
        if (got < 0 && errno == ERANGE)
            continue;
        if (got < 0)
            return false;
        value->truncate(got);
        return true;
    }
    errno = ERANGE;
    return false;
}

QString attributeNotKept(const QByteArray& name, int errnum)
{
    return QStringLiteral("The extended attribute ") + QString::fromUtf8(name) + QStringLiteral(" could not be kept: ")
        + reason(errnum);
}

QString ownerName(uid_t uid)
{
    struct passwd entry { };
    struct passwd* found = nullptr;
    char buf[4096];
    if (::getpwuid_r(uid, &entry, buf, sizeof buf, &found) == 0 && found && found->pw_name)
        return QString::fromLocal8Bit(found->pw_name) + QStringLiteral(" (user %1)").arg(uid);
    return QStringLiteral("user %1").arg(uid);
}

} // namespace

bool keepOwner(const struct stat& st, int to, QStringList* notKept, FileError* err)
{
    struct stat now { };
    if (::fstat(to, &now) == 0 && now.st_uid == st.st_uid && now.st_gid == st.st_gid)
        return reportFileError(err, {});
    if (::fchown(to, st.st_uid, st.st_gid) == 0)
        return reportFileError(err, {});
    const int e = errno;
    // Only the superuser gives a file away: a copy made by anyone else
    // belongs to them, and the file would change hands.
    const bool ownerKept = ::fstat(to, &now) == 0 && now.st_uid == st.st_uid;
    if (!ownerKept)
        return reportFileError(err,
            { ErrorNo::Access,
                QStringLiteral("The tag no longer fits in the file, and a copy of it made by this user cannot keep its "
                               "owner, %1: ")
                        .arg(ownerName(st.st_uid))
                    + reason(e) + QStringLiteral(". The file was left as it was.") });
    // The group may still be one of this user's.
    if (::fchown(to, uid_t(-1), st.st_gid) != 0)
        notKept->append(QStringLiteral("The group could not be kept: ") + reason(e));
    return reportFileError(err, {});
}

namespace {

void carryAttributes(int from, int to, QStringList* notKept)
{
    QList<QByteArray> names;
    if (!attributeNames(from, &names)) {
        if (errno != ENOTSUP)
            notKept->append(QStringLiteral("The extended attributes could not be read: ") + reason(errno));
        return;
    }
    for (const QByteArray& name : std::as_const(names)) {
        if (name == kCapabilities) {
            notKept->append(QStringLiteral("The extended attribute ") + QString::fromUtf8(name)
                + QStringLiteral(" was left off, for safety"));
            continue;
        }
        QByteArray value, there;
        if (!attributeValue(from, name, &value)) {
            if (errno != ENODATA) // gone in between: nothing to keep
                notKept->append(attributeNotKept(name, errno));
            continue;
        }
        // A label the system gave the copy already is not set again.
        if (attributeValue(to, name, &there) && there == value)
            continue;
        if (::fsetxattr(to, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            notKept->append(attributeNotKept(name, errno));
    }
    // A folder's default ACL gives the new copy an ACL the original lacked.
    if (!names.contains(QByteArray(kAccessAcl)) && ::fremovexattr(to, kAccessAcl) != 0 && errno != ENODATA
        && errno != ENOTSUP)
        notKept->append(QStringLiteral("The folder's default ACL could not be taken off the file: ") + reason(errno));
}

} // namespace

bool carryFileProperties(int from, const struct stat& st, int to, QStringList* notKept, FileError* err)
{
    carryAttributes(from, to, notKept);
    const mode_t wanted = st.st_mode & 07777 & ~S_ISUID;
    if (::fchmod(to, wanted) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    if (st.st_mode & S_ISUID)
        notKept->append(QStringLiteral("The set-user-ID bit was left off, for safety"));
    struct stat now { };
    if (::fstat(to, &now) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    // The system drops the set-group-ID bit silently for a user outside the
    // file's group.
    if ((now.st_mode & 07777) != wanted) {
        if ((wanted & S_ISGID) && !(now.st_mode & S_ISGID))
            notKept->append(QStringLiteral("The set-group-ID bit could not be kept: ") + reason(EPERM));
        if ((now.st_mode & 07777 & ~S_ISGID) != (wanted & ~S_ISGID))
            return reportFileError(err, fileErrorFromErrno(EPERM));
    }
    return reportFileError(err, {});
}
