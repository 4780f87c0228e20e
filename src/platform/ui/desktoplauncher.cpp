#include "desktoplauncher.h"

#include "platform/launcherror.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>

namespace {

constexpr int kQueryMs = 3000;
constexpr int kStartMs = 3000;
constexpr int kPaintMs = 30;

// What a short query program prints, trimmed; "" when it fails or hangs.
QString queryOutput(const QStringList& arguments)
{
    QProcess query;
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(QStringLiteral("xdg-mime"), arguments, QIODevice::ReadOnly);
    if (!query.waitForFinished(kQueryMs) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

} // namespace

DesktopLauncher::DesktopLauncher(int waitMs)
    : m_waitMs(waitMs)
{
}

bool DesktopLauncher::opensInVelmora(const QString& path) const
{
    const QString type = queryOutput({ QStringLiteral("query"), QStringLiteral("filetype"), path })
                             .section(QLatin1Char(';'), 0, 0)
                             .trimmed();
    if (type.isEmpty())
        return false;
    return isVelmoraDesktopId(
        firstDesktopId(queryOutput({ QStringLiteral("query"), QStringLiteral("default"), type })));
}

int DesktopLauncher::open(const QString& path)
{
    if (!QFileInfo::exists(path))
        return FileNotFound;
    if (opensInVelmora(path))
        return NoAssociation;

    // Not owned by anything: an opener that outlasts the wait may run as long
    // as the program it started, and must not be killed with Velmora.
    auto* opener = new QProcess;
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->start(QStringLiteral("xdg-open"), { path });
    if (!opener->waitForStarted(kStartMs)) {
        delete opener;
        return launchCodeForOpener(OpenerEnd::NotStarted, 0);
    }
    // Finding out that nothing can open a file takes xdg-open a few seconds
    // on a plain desktop; the window stays painted meanwhile, but takes no
    // input.
    const QDeadlineTimer deadline(m_waitMs);
    while (opener->state() != QProcess::NotRunning && !deadline.hasExpired()) {
        opener->waitForFinished(kPaintMs);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (opener->state() != QProcess::NotRunning) {
        QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
        return launchCodeForOpener(OpenerEnd::StillRunning, 0);
    }
    const int code = launchCodeForOpener(
        opener->exitStatus() == QProcess::NormalExit ? OpenerEnd::Exited : OpenerEnd::Crashed, opener->exitCode());
    delete opener;
    return code;
}
