// A read-only file in the main window: selecting it writes nothing into it;
// Save and Remove Tags ask once before making it writable, and No leaves it
// as it was and says so. The caption follows the file's size.
#include "windowfixture.h"

#include "support/filestate.h"
#include "tagedit/filesize.h"
#include "tags/writeaccess.h"

#include <QGroupBox>

#include <functional>

namespace {

class ProtectTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        addTagged(song, QStringLiteral("Someone"), QStringLiteral("Old Title"));
        ASSERT_EQ(::chmod(QFile::encodeName(path(song)).constData(), 0444), 0);
    }
    QString caption() const { return child<QGroupBox>(QStringLiteral("RenameFrame"))->title(); }

    const QString song = QStringLiteral("song.mp3");
};

} // namespace

TEST_F(ProtectTest, SaveAndRemoveTagsAskOnceAndNoLeavesTheReadOnlyFileAsItWasAndSaysSo)
{
    const struct {
        const char* name;
        std::function<void()> command;
        const char* action; // in the question
        Answer answer;
        const char* status;
    } cases[] = {
        { "save",
            [this] {
                setBox(FieldId::Title, QStringLiteral("New Title"));
                window->saveTags();
            },
            "Save The Tags", Answer::No, "ID3 Tags Not Saved: The File Is Read-Only" },
        { "remove tags",
            [this] {
                prompter.answers.prepend(Answer::Yes); // "Remove All ID3 Tags From File"
                window->removeTags();
            },
            "Remove The Tags", Answer::No, "ID3 Tags Not Removed: The File Is Read-Only" },
        { "remove tags",
            [this] {
                prompter.answers.prepend(Answer::Yes);
                window->removeTags();
            },
            "Remove The Tags", Answer::Yes, "ID3 Tags Removed From File" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.answer == Answer::Yes ? ", yes" : ", no"));
        ASSERT_EQ(::chmod(QFile::encodeName(path(song)).constData(), 0444), 0);
        const FileState listed = FileState::of(path(song));
        open();
        select(song);
        ASSERT_EQ(FileState::of(path(song)), listed) << "selecting it wrote nothing";
        ASSERT_EQ(box(FieldId::Artist), QStringLiteral("Someone")) << "and shows its tags";
        prompter.calls.clear();
        prompter.answers.enqueue(c.answer);

        c.command();

        const QString question = writeProtectedQuestion(path(song), QLatin1String(c.action));
        EXPECT_EQ(prompter.messageTexts().count(question), 1);
        EXPECT_TRUE(prompter.answers.isEmpty());
        EXPECT_EQ(window->statusText(), QLatin1String(c.status));
        if (c.answer == Answer::No) {
            EXPECT_EQ(FileState::of(path(song)), listed);
        } else {
            EXPECT_EQ(FileState::of(path(song)).mode, mode_t(0644));
            EXPECT_NE(FileState::of(path(song)).bytes, listed.bytes);
        }
        // The caption gives the size the file has now.
        EXPECT_EQ(caption(), song + QStringLiteral(" (") + formatFileSize(QFileInfo(path(song)).size()) + ')');
        window.reset();
        ASSERT_EQ(::chmod(QFile::encodeName(path(song)).constData(), 0644), 0);
        addTagged(song, QStringLiteral("Someone"), QStringLiteral("Old Title"));
    }
}
