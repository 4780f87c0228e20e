#include "platform/launcher.h"
#include "platform/launcherror.h"
#include "platform/ui/desktoplauncher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(LaunchCodeForOpener, ANothingCanOpenItAnswerIsAFailureAndARunningOpenerALaunch)
{
    struct Case {
        OpenerEnd end;
        int exitCode;
        int code;
    };
    const Case cases[] = {
        { OpenerEnd::Exited, 0, 0 },
        { OpenerEnd::StillRunning, 0, 0 }, // it runs the program it started
        { OpenerEnd::Exited, 2, Launcher::FileNotFound },
        { OpenerEnd::Exited, 3, Launcher::NoAssociation }, // no program for the file
        { OpenerEnd::Exited, 4, Launcher::NoAssociation }, // the program failed to open it
        { OpenerEnd::NotStarted, 0, Launcher::NoAssociation }, // no opener on this desktop
        { OpenerEnd::Exited, 1, Launcher::OpenerFailed },
        { OpenerEnd::Exited, 127, Launcher::OpenerFailed },
        { OpenerEnd::Crashed, 0, Launcher::OpenerFailed },
    };
    for (const Case& c : cases)
        EXPECT_EQ(launchCodeForOpener(c.end, c.exitCode), c.code) << int(c.end) << ' ' << c.exitCode;
}

TEST(VelmoraDesktopId, OnlyVelmorasOwnEntryCounts)
{
    const std::pair<const char*, bool> cases[] = { { "velmora.desktop", true }, { "Velmora.desktop", true },
        { " velmora.desktop\n", true }, { "org.velmora.velmora.desktop", true }, { "vendor-velmora.desktop", true },
        { "vlc.desktop", false }, { "velmoraplayer.desktop", false }, { "notvelmora.desktop", false },
        { "velmora", false }, { "", false } };
    for (const auto& [id, own] : cases)
        EXPECT_EQ(isVelmoraDesktopId(id), own) << id;

    const std::pair<const char*, const char*> queries[] = { { "vlc.desktop;velmora.desktop;", "vlc.desktop" },
        { "\nmpv.desktop\n", "mpv.desktop" }, { "velmora.desktop", "velmora.desktop" }, { "", "" }, { ";\n", "" } };
    for (const auto& [output, id] : queries)
        EXPECT_EQ(firstDesktopId(output), id) << output;
}

namespace {

// A desktop whose xdg-open and xdg-mime are scripts: the handler query
// answers the contents of "default", the opener records its arguments in
// "opened", sleeps "sleep" seconds, touches "ended" and exits with "code".
class FakeDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        ASSERT_TRUE(script("xdg-mime",
            "case \"$2\" in\n"
            "filetype) echo 'audio/mpeg; charset=binary' ;;\n"
            "default) /bin/cat '"
                + dir.path()
                + "/default' ;;\n"
                  "esac\n"));
        ASSERT_TRUE(script("xdg-open",
            "echo \"$@\" >> '" + dir.path()
                + "/opened'\n"
                  "code=$(/bin/cat '"
                + dir.path()
                + "/code')\n"
                  "/bin/sleep $(/bin/cat '"
                + dir.path()
                + "/sleep')\n"
                  "/bin/touch '"
                + dir.path()
                + "/ended'\n"
                  "exit $code\n"));
        set("default", "player.desktop\n");
        set("sleep", "0");
        set("code", "0");
        file = dir.filePath("song.mp3");
        set("song.mp3", "not really audio");
    }
    void TearDown() override { qputenv("PATH", savedPath); }

    bool script(const QString& name, const QString& body)
    {
        QFile f(bin.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(("#!/bin/sh\n" + body).toUtf8()) > 0
            && f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void set(const QString& name, const QByteArray& content)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QString opened() const
    {
        QFile f(dir.filePath("opened"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir bin;
    QTemporaryDir dir;
    QByteArray savedPath;
    QString file;
};

} // namespace

TEST_F(FakeDesktop, TheOpenersAnswerIsTheLaunchResult)
{
    const std::pair<const char*, int> cases[] = { { "0", 0 }, { "4", Launcher::NoAssociation },
        { "3", Launcher::NoAssociation }, { "2", Launcher::FileNotFound }, { "1", Launcher::OpenerFailed } };
    DesktopLauncher launcher;
    for (const auto& [exitCode, code] : cases) {
        set("code", exitCode);
        EXPECT_EQ(launcher.open(file), code) << exitCode;
    }
    EXPECT_EQ(opened(), QString(file + '\n').repeated(5));
}

TEST_F(FakeDesktop, AnOpenerStillRunningAfterTheWaitCountsAsStartedAndIsLeftRunning)
{
    set("sleep", "1");
    set("code", "4");
    DesktopLauncher launcher(100);
    QDeadlineTimer quick(900);
    EXPECT_EQ(launcher.open(file), 0);
    EXPECT_FALSE(quick.hasExpired()) << "the window waits only a moment";
    EXPECT_FALSE(QFile::exists(dir.filePath("ended")));
    QDeadlineTimer later(5000);
    while (!QFile::exists(dir.filePath("ended")) && !later.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(QFile::exists(dir.filePath("ended"))) << "the opener was not killed";
}

TEST_F(FakeDesktop, AFileWhoseDefaultProgramIsVelmoraIsNotHandedOn)
{
    DesktopLauncher launcher;
    for (const char* handler : { "velmora.desktop\n", "velmora.desktop;vlc.desktop;\n" }) {
        set("default", handler);
        EXPECT_EQ(launcher.open(file), Launcher::NoAssociation) << handler;
    }
    EXPECT_EQ(opened(), "");
    set("default", "vlc.desktop;velmora.desktop;\n");
    EXPECT_EQ(launcher.open(file), 0);
    EXPECT_EQ(opened(), file + '\n');
}

TEST_F(FakeDesktop, AMissingFileOrAMissingOpenerIsReported)
{
    DesktopLauncher launcher;
    EXPECT_EQ(launcher.open(dir.filePath("gone.mp3")), Launcher::FileNotFound);
    EXPECT_EQ(launcher.open(QString()), Launcher::FileNotFound);
    EXPECT_EQ(opened(), "");
    QFile::remove(bin.filePath("xdg-open"));
    QFile::remove(bin.filePath("xdg-mime"));
    EXPECT_EQ(launcher.open(file), Launcher::NoAssociation);
}
