// What the main window and MultiTagger take from a file and put back: box
// texts without the blanks around them, a trailer without invented values,
// and a file left alone by a read or a refused write.
#include "tagedit/currentfile.h"
#include "tagedit/multitagwriter.h"

#include "multitagfiles.h"

#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "settings/options.h"
#include "support/tagfiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace MultiTagFiles;
namespace F = TagTestFiles;

namespace {

struct Fixture {
    QTemporaryDir dir;
    LocalFileSystem files;
    ScriptedPrompter prompter;
    Options options;

    QString file(const QString& name, const Values& v, bool trailer)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(write(path, v, trailer)) << name.toStdString();
        return path;
    }
};

TEST(TagBoxes, TheMainWindowShowsTrimmedTextsAndItsTrailerGetsNoTrackItCannotHoldAndNoInventedYear)
{
    Fixture f;
    Values v = sample("t");
    v.artist = "  Artist  ";
    v.track = 300;
    v.year = 0;
    const QString path = f.file("t.mp3", v, false);
    CurrentFile current(f.files, &f.prompter, f.options);
    EXPECT_TRUE(current.load(path).ok());
    EXPECT_EQ(current.texts()[int(FieldId::Artist)], "Artist");
    const ID3V1Tag trailer = readV1(path);
    ASSERT_TRUE(trailer.tagged());
    EXPECT_EQ(trailer.track(), -1);
    EXPECT_EQ(trailer.year(), "");
}

TEST(TagBoxes, MultiTaggerReadingKeepsTheTrailerAndAReadOnlyFileIsNotWritten)
{
    Fixture f;
    MultiTagWriter writer(f.files);
    const QString both = f.file("both.mp3", sample("both"), true);
    const QByteArray bytes = F::read(both);
    EXPECT_EQ(writer.readFile(both, f.options)[int(FieldId::Artist)], "Artist both");
    EXPECT_EQ(F::read(both), bytes);

    ASSERT_EQ(::chmod(QFile::encodeName(both).constData(), 0444), 0);
    EXPECT_EQ(writer.tagFile(both, including({ { FieldId::Artist, "Artist both" } })).error.number, 75);
    EXPECT_EQ(F::read(both), bytes);
    EXPECT_EQ(F::mode(both), mode_t(0444));
}

} // namespace
