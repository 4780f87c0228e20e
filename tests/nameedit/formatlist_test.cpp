#include "nameedit/formatlist.h"
#include "platform/fakes/scriptedprompter.h"
#include "platform/inisettingsbackend.h"
#include "sessionfixture.h"
#include "support/mp3builder.h"

#include <QTemporaryDir>

class FormatListStore : public SessionTest {
protected:
    QMap<QString, QString> stored() const { return backend.values.value(QStringLiteral("Formats")); }
    void store(const char* key, const char* mask) { backend.setValue("Formats", key, mask); }
    ScriptedPrompter prompter;
};

TEST_F(FormatListStore, NothingStoredGivesSixFactoryMasksAndWritesThem)
{
    session.loadFormats();
    const QStringList expected = FormatList::factoryMasks();
    ASSERT_EQ(expected.size(), 6);
    EXPECT_EQ(session.formats().masks(), expected);
    EXPECT_EQ(session.formats().currentIndex(), 0);
    EXPECT_EQ(stored().values(), expected);

    // An empty first mask counts as nothing stored.
    backend.values.remove("Formats");
    store("Format00", "");
    store("Format01", "Title.mp3");
    session.loadFormats();
    EXPECT_EQ(session.formats().masks(), expected);
}

TEST_F(FormatListStore, StoredMasksStopAtFirstEmptyValueAndLastFormatSelects)
{
    store("Format00", "Artist - Title.mp3");
    store("Format01", "Title.mp3");
    store("Format03", "Orphan.mp3");
    backend.setValue("Settings", "Last Format", "1");
    session.loadFormats();
    EXPECT_EQ(session.formats().masks(), QStringList({ "Artist - Title.mp3", "Title.mp3" }));
    EXPECT_EQ(session.formats().currentIndex(), 1);
    // The section is rewritten at once: the orphan behind the gap is gone.
    EXPECT_EQ(stored().keys(), QStringList({ "Format00", "Format01" }));
    for (const char* outside : { "9", "-1" }) {
        backend.setValue("Settings", "Last Format", outside);
        session.loadFormats();
        EXPECT_EQ(session.formats().currentIndex(), -1) << outside;
    }
}

TEST_F(FormatListStore, SaveUsesAtLeastTwoDigitsAndDropsOldKeys)
{
    QStringList masks;
    for (int i = 0; i < 101; ++i)
        masks << QStringLiteral("Artist - Title %1.mp3").arg(i);
    session.formats().setMasks(masks);
    session.saveFormats();
    EXPECT_EQ(stored().size(), 101);
    EXPECT_EQ(stored().value("Format07"), "Artist - Title 7.mp3");
    EXPECT_EQ(stored().value("Format100"), "Artist - Title 100.mp3");
    session.formats().setMasks({ "A.mp3" });
    session.saveFormats();
    EXPECT_EQ(stored().keys(), QStringList({ "Format00" }));
    session.formats().setMasks({});
    session.saveFormats();
    EXPECT_FALSE(backend.values.contains("Formats"));
}

TEST_F(FormatListStore, RemoveAsksThenRemovesAndSelectsFirstAsAClick)
{
    setOption("SyncOption", "1");
    session.formats().setMasks({ "Artist - Title.mp3", "Title - Artist.mp3", "Title.mp3" });
    session.formats().setCurrentIndex(1);
    setFields({ { FieldId::Artist, "Band" }, { FieldId::Title, "Song" } });
    name("old.mp3");
    prompter.answers.enqueue(Answer::No);
    session.removeFormat(prompter);
    EXPECT_EQ(session.formats().count(), 3);
    EXPECT_EQ(session.formats().currentIndex(), 0); // entry 0 is selected afterwards in any case

    session.formats().setCurrentIndex(1);
    host.reloads = 0;
    name("old.mp3");
    prompter.answers.enqueue(Answer::Yes);
    session.removeFormat(prompter);
    EXPECT_EQ(prompter.messageTexts(), QStringList(2, "Remove The Format: 'Title - Artist.mp3'?"));
    EXPECT_EQ(prompter.calls.at(1).icon, MsgIcon::Question);
    EXPECT_EQ(prompter.calls.at(1).buttons, MsgButtons::YesNo);
    EXPECT_EQ(session.formats().masks(), QStringList({ "Artist - Title.mp3", "Title.mp3" }));
    EXPECT_EQ(host.statuses.count("Format Removed"), 1);
    EXPECT_EQ(session.formats().currentIndex(), 0);
    EXPECT_EQ(host.reloads, 1);
    EXPECT_EQ(name(), "Band-Song.mp3");
}

TEST_F(FormatListStore, RemovingTheLastMaskLeavesNothingSelected)
{
    session.formats().setMasks({ "A.mp3" });
    session.formats().setCurrentIndex(0);
    name("x.mp3");
    prompter.answers.enqueue(Answer::Yes);
    session.removeFormat(prompter);
    EXPECT_EQ(session.formats().count(), 0);
    EXPECT_EQ(session.formats().currentIndex(), -1);
    EXPECT_EQ(host.reloads, 0);
    session.removeFormat(prompter); // empty list: no question
    EXPECT_EQ(prompter.calls.size(), 1);
}

TEST(FormatListIni, AMaskTypedWithACommaIsReadAsWrittenAndTheMasksAfterItStay)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Velmora.ini"));
    ASSERT_TRUE(Mp3Builder::writeFile(file,
        "[Formats]\nFormat00=Album - Artist.mp3\nFormat01=Artist, Title.mp3\n"
        "Format02=Track,Title.mp3\nFormat03=Track - Title.mp3\n"));
    const QStringList expected { "Album - Artist.mp3", "Artist, Title.mp3", "Track,Title.mp3", "Track - Title.mp3" };
    for (int run = 0; run < 2; ++run) { // the start-up rewrite, then the next start
        IniSettingsBackend backend(file);
        SettingsStore store(backend);
        FormatList list;
        list.loadFormats(store);
        EXPECT_EQ(list.masks(), expected) << run;
        EXPECT_TRUE(backend.sync());
    }
}
