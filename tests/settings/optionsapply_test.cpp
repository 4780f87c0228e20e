// Applying the options window's choices without the window: what is stored,
// what is reloaded, and where a composed mask goes.
#include "platform/fakes/memorysettingsbackend.h"
#include "settings/optionsapply.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

using Values = QMap<QString, QString>;

TEST(ApplyOptionChoices, StoresEveryChoiceAndKeepsUnknownTextsWhenNoneIsChosen)
{
    OptionChoices all;
    all.newFileCase = NameCase::Upper;
    all.id3AutoSave = 0;
    all.syncOption = SyncMode::TagsToName;
    all.removeParens = true;
    all.splitSpaces = true;
    all.useFormattedTrack = false;
    all.keepFileTimes = true;
    all.mp3FilesOnly = true;
    const struct {
        const char* name;
        Values stored;
        OptionChoices choices;
        Values expected;
    } cases[] = {
        { "all chosen", { { "New File Case", "XX" } }, all,
            { { "New File Case", "UC" }, { "ID3AutoSave", "0" }, { "SyncOption", "1" }, { "Remove Parens", "1" },
                { "RemUnderScores", "0" }, { "SplitSpaces", "1" }, { "UseFormattedTrack", "0" },
                { "Keep File Times", "1" }, { "MP3 Files Only", "1" } } },
        { "none chosen", { { "New File Case", "XX" }, { "SyncOption", "7" }, { "ID3AutoSave", "0" } }, {},
            { { "New File Case", "XX" }, { "ID3AutoSave", "0" }, { "SyncOption", "7" }, { "Remove Parens", "0" },
                { "RemUnderScores", "0" }, { "SplitSpaces", "0" }, { "UseFormattedTrack", "1" },
                { "Keep File Times", "0" }, { "MP3 Files Only", "0" } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySettingsBackend backend;
        backend.values[QStringLiteral("Settings")] = c.stored;
        Preferences prefs(backend);
        prefs.loadOptions();
        // The window shows no choice for what it cannot show.
        EXPECT_EQ(choicesFromOptions(prefs.options).newFileCase.has_value(), c.stored.value("New File Case") != "XX");
        EXPECT_EQ(choicesFromOptions(prefs.options).syncOption.has_value(), c.stored.value("SyncOption") != "7");
        applyOptionChoices(c.choices, prefs, {});
        EXPECT_EQ(backend.values.value(QStringLiteral("Settings")), c.expected);
        // The options in memory are those stored now.
        EXPECT_EQ(nameCaseCode(prefs.options.newFileCase), c.choices.newFileCase ? "UC" : "NC");
        EXPECT_EQ(prefs.options.newFileCaseUnknown, !c.choices.newFileCase);
        EXPECT_EQ(prefs.options.separatorString, c.choices.splitSpaces ? " - " : "-");
        EXPECT_EQ(prefs.options.keepFileTimes, c.choices.keepFileTimes);
        EXPECT_EQ(prefs.options.mp3FilesOnly, c.choices.mp3FilesOnly);
    }
}

TEST(ApplyOptionChoices, PlacesTheComposedMask)
{
    const QStringList masks { "Artist-Title.mp3", " Title.mp3", "Album.mp3", "Album.mp3 " };
    const struct {
        const char* mask;
        bool append;
        int current;
    } cases[] = {
        { "", false, -1 }, { "  ", false, -1 }, { "Year-Title.mp3", true, 4 }, { "Artist-Title.mp3", false, 0 },
        { "Title.mp3", false, 1 }, // equal after trimming
        { "Album.mp3", false, 2 }, // the exact entry before a trimmed one
        { " Album.mp3", false, 3 }, // else the last trimmed one
    };
    for (const auto& c : cases) {
        MemorySettingsBackend backend;
        Preferences prefs(backend);
        OptionChoices choices;
        choices.mask = QString::fromUtf8(c.mask);
        const MaskPlacement placed = applyOptionChoices(choices, prefs, masks);
        EXPECT_EQ(placed.append, c.append) << c.mask;
        EXPECT_EQ(placed.current, c.current) << c.mask;
    }
}
