// Replacing a range of a file: a copy that does not match the original
// never replaces it, and a range outside the file is refused.
#include "tags/safefilewrite.h"

#include "support/tagfiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace F = TagTestFiles;

namespace {

void flipByte(int fd)
{
    char c = 0;
    ASSERT_EQ(::pread(fd, &c, 1, 100), 1);
    c = char(~c);
    ASSERT_EQ(::pwrite(fd, &c, 1, 100), 1);
}

void addByte(int fd)
{
    ASSERT_EQ(::pwrite(fd, "x", 1, ::lseek(fd, 0, SEEK_END)), 1);
}

TEST(SafeFileWrite, ASpoiledCopyOrARangePastTheEndLeavesTheFileAsItWas)
{
    const QByteArray original = "old tag" + F::audio(3);
    const qint64 size = original.size();
    const struct {
        const char* name;
        qint64 start, end;
        QByteArray bytes;
        std::function<void(int)> spoil;
        bool done;
    } cases[] = {
        { "sound_copy", 0, 7, QByteArray(40, 'T'), {}, true },
        { "changed_byte_in_the_copy", 0, 7, QByteArray(40, 'T'), flipByte, false },
        { "extra_byte_in_the_copy", 0, 7, QByteArray(40, 'T'), addByte, false },
        { "range_past_the_end", size - 5, size + 5, QByteArray(10, 'E'), {}, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = F::write(dir, "song.mp3", original);
        FileError err;
        EXPECT_EQ(replaceFileRange(path, c.start, c.end, c.bytes, &err, c.spoil), c.done);
        EXPECT_EQ(err.ok(), c.done);
        EXPECT_EQ(F::read(path), c.done ? c.bytes + original.mid(c.end) : original);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no copy left behind
    }
}

} // namespace
