#include "platform/inisettingsbackend.h"
#include "support/mp3builder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <iterator>
#include <unistd.h>

TEST(IniSettingsBackend, KeepsValuesAcrossInstancesAndRemovesSections)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("Velmora.ini");
    {
        IniSettingsBackend s(file);
        s.setValue("Settings", "Last Width", "800");
        s.setValue("Filters", "Filter00", "@_");
        s.setValue("Filters", "Filter01", " @+");
        s.setValue("Formats", "Format00", "Artist - Title.mp3");
    }
    IniSettingsBackend s(file);
    EXPECT_EQ(s.value("Settings", "Last Width", "0"), "800");
    EXPECT_EQ(s.value("Filters", "Filter00", ""), "@_");
    EXPECT_EQ(s.value("Filters", "Filter01", ""), " @+");
    EXPECT_EQ(s.value("Settings", "Absent", "dflt"), "dflt");
    s.removeSection("Formats");
    s.removeSection("NoSuchSection");
    EXPECT_EQ(s.value("Formats", "Format00", ""), "");
    EXPECT_EQ(s.value("Settings", "Last Width", "0"), "800");
}

TEST(IniSettingsBackend, DefaultFileLivesUnderTheXdgConfigFolder)
{
    IniSettingsBackend s;
    EXPECT_TRUE(s.fileName().endsWith("/Velmora/Velmora.ini")) << s.fileName().toStdString();
    EXPECT_TRUE(s.fileName().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
}

TEST(IniSettingsBackend, ValuesTypedByHandWithCommasReadAsWritten)
{
    const struct {
        const char *line, *expected;
    } cases[] = {
        { "Artist, Title.mp3", "Artist, Title.mp3" },
        { "a,b", "a,b" },
        { "  x ,  y  ,z  ", "x ,  y  ,z" },
        { "x,", "x," },
        { "\"q, r\"", "q, r" },
        { "\"a\", b", "a, b" },
        { "a\\tb, c", "a\tb, c" },
        { "\\x41,b", "A,b" },
        { "Sch\xc3\xb6n, gut", "Sch\xc3\xb6n, gut" },
        { "1, 2 ; a comment", "1, 2" },
        { "@Rect(1 2 3 4)", "@Rect(1 2 3 4)" },
        { "Artist - Title.mp3", "Artist - Title.mp3" },
    };
    QTemporaryDir dir;
    const QString file = dir.filePath("Velmora.ini");
    QByteArray content = "; typed by hand\n[Formats]\n";
    for (int i = 0; i < int(std::size(cases)); ++i)
        content += "Format" + QByteArray::number(i) + " = " + cases[i].line + "\n";
    content += "[Settings]\nLast%20Path=/music/a,b/\n";
    ASSERT_TRUE(Mp3Builder::writeFile(file, content));
    for (int run = 0; run < 2; ++run) { // as typed, then as saved and read again
        IniSettingsBackend s(file);
        for (int i = 0; i < int(std::size(cases)); ++i)
            EXPECT_EQ(s.value("Formats", "Format" + QString::number(i), "?"), QString::fromUtf8(cases[i].expected))
                << cases[i].line << " run " << run;
        EXPECT_EQ(s.value("Settings", "Last Path", ""), "/music/a,b/");
        s.setValue("Settings", "Touched", "1"); // makes the next sync rewrite the file
        EXPECT_TRUE(s.sync());
    }
}

TEST(IniSettingsBackend, ASaveThatFailsSaysWhereAndWhyAndTheValuesStay)
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath("Velmora");
    ASSERT_TRUE(Mp3Builder::writeFile(blocker, "a file, not a folder"));
    const QString file = blocker + "/Velmora.ini";
    IniSettingsBackend s(file);
    EXPECT_TRUE(s.sync()); // nothing to save yet
    s.setValue("Settings", "Last Width", "800");
    EXPECT_FALSE(s.sync());
    EXPECT_EQ(s.lastError().path, file);
    EXPECT_EQ(s.lastError().error.number, 53);
    EXPECT_EQ(s.lastError().error.description, fileErrorFromErrno(ENOTDIR).description);
    EXPECT_EQ(s.value("Settings", "Last Width", "0"), "800");

    // Once the way is free, the next save works and writes what was kept.
    ASSERT_TRUE(QFile::remove(blocker));
    s.setValue("Settings", "Last Height", "600");
    EXPECT_TRUE(s.sync());
    EXPECT_TRUE(s.lastError().ok());
    EXPECT_EQ(IniSettingsBackend(file).value("Settings", "Last Width", "0"), "800");
}

TEST(SettingsWriteObstacle, NamesWhatStandsInTheWay)
{
    QTemporaryDir dir;
    ASSERT_TRUE(Mp3Builder::writeFile(dir.filePath("file"), "x"));
    const struct {
        const char* path;
        int err;
    } cases[] = {
        { "file", 0 },
        { "missing.ini", 0 },
        { "new/folders/Velmora.ini", 0 },
        { "file/Velmora.ini", ENOTDIR },
        { "file/deeper/Velmora.ini", ENOTDIR },
    };
    for (const auto& c : cases)
        EXPECT_EQ(settingsWriteObstacle(dir.filePath(c.path)).description, fileErrorFromErrno(c.err).description)
            << c.path;
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    QFile(dir.filePath("file")).setPermissions(QFileDevice::ReadOwner);
    EXPECT_EQ(settingsWriteObstacle(dir.filePath("file")).number, 75);
}
