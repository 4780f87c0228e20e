// The built velmora answers --help and --version, and refuses an unknown
// option, on a machine without any display.
#include "app/startoptions.h"
#include "platform/version.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

struct ProcessResult {
    int exitCode = -1;
    QString out, err;
};

ProcessResult runVelmora(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // No display of any kind: the tests' offscreen platform is taken away too.
    for (const char* name : { "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY" })
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELMORA_EXECUTABLE), arguments);
    ProcessResult result;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

} // namespace

TEST(CommandLine, HelpPrintsTheUsageAndExits)
{
    for (const char* option : { "--help", "-h" }) {
        SCOPED_TRACE(option);
        const ProcessResult run = runVelmora({ QString::fromLatin1(option) });
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, usageText());
        EXPECT_EQ(run.err, QString());
    }
}

TEST(CommandLine, VersionPrintsTheProjectVersionAndExits)
{
    for (const char* option : { "--version", "-v" }) {
        SCOPED_TRACE(option);
        const ProcessResult run = runVelmora({ QString::fromLatin1(option) });
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, QStringLiteral("velmora " VELMORA_VERSION "\n"));
        EXPECT_EQ(run.err, QString());
    }
}

TEST(CommandLine, AnUnknownOptionIsRefusedWithTheUsageOnStderr)
{
    const ProcessResult run = runVelmora({ QStringLiteral("--bogus") });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, QString());
    EXPECT_EQ(run.err, QStringLiteral("velmora: unknown option '--bogus'\n") + usageText());
}

TEST(CommandLine, TheVersionPrintedIsTheOneTheWindowShows)
{
    // The title's version is kept in the source; the project's in CMake.
    EXPECT_EQ(QStringLiteral(VELMORA_VERSION),
        QStringLiteral("%1.%2.%3").arg(VelmoraVersion::Major).arg(VelmoraVersion::Minor).arg(VelmoraVersion::Revision));
}
