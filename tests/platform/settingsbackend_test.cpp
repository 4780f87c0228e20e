#include "platform/inisettingsbackend.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

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
