// A mass rename from the tags writes each file's trailer; with the option on
// the renamed file keeps its modification time to the nanosecond.
#include "massrenamefixture.h"

#include "tags/filetimes.h"

TEST_F(MassRenameTest, TagWritesKeepTheFileTimeOnlyWhenTheOptionIsOn)
{
    const timespec old { 981'173'045, 123'456'789 };
    for (const bool keep : { true, false }) {
        const QString dir = keep ? QStringLiteral("kept/") : QStringLiteral("plain/");
        const TestTags tags { .artist = QStringLiteral("Band"), .title = QStringLiteral("Song") };
        const QString path = makeMp3(dir + "a.mp3", &tags);
        ASSERT_TRUE(WriteFileTime(path, FileTime { old }));
        backend.values["Settings"]["Keep File Times"] = keep ? QStringLiteral("1") : QStringLiteral("0");
        prefs.LoadOptions();
        choices.startDir = root + dir;
        choices.builtFormat = QStringLiteral("Artist - Title");
        engine->Run(choices);
        ASSERT_EQ(namesIn(dir), QStringList { QStringLiteral("Band - Song.mp3") });
        FileTime now;
        ASSERT_TRUE(ReadFileTime(root + dir + "Band - Song.mp3", &now));
        EXPECT_EQ(now.modified.tv_sec == old.tv_sec && now.modified.tv_nsec == old.tv_nsec, keep) << keep;
    }
}
