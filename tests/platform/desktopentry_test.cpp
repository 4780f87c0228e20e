// The desktop entry that installing Velmora puts in the applications
// folder.
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QStringList entryLines()
{
    QFile entry(QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../data/velmora.desktop"));
    if (!entry.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
}

} // namespace

TEST(DesktopEntry, InstallingMakesVelmoraTheDefaultProgramForNothing)
{
    const QStringList lines = entryLines();
    ASSERT_TRUE(lines.contains("[Desktop Entry]"));
    ASSERT_TRUE(lines.contains("Exec=velmora %F")) << "folders and files dropped on it still open";
    // A type listed here makes Velmora a handler of it, and the default one
    // wherever no other program handles it: the player for MP3 files, the
    // file manager for folders.
    for (const QString& line : lines)
        EXPECT_FALSE(line.trimmed().startsWith(QLatin1String("MimeType"))) << line.toStdString();
}
