#include "platform/fakes/memorysettingsbackend.h"
#include "platform/fakes/scriptedprompter.h"
#include "settings/lastpath.h"
#include "settings/preferences.h"
#include "settings/windowsize.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SettingsStore, TrimsOptionsAndFormatsButNotFilters)
{
    MemorySettingsBackend backend;
    SettingsStore store(backend);
    store.saveOption("  Last Path ", "  /music/  ");
    EXPECT_EQ(backend.values["Settings"]["Last Path"], "/music/");
    backend.values["Settings"]["New File Case"] = " UC  ";
    EXPECT_EQ(store.getOption(" New File Case ", "TC"), "UC");
    EXPECT_EQ(store.getOption("Missing", " dflt "), "dflt");

    store.saveFormatValue("Format00", " Artist - Title.mp3 ");
    EXPECT_EQ(store.getFormatValue("Format00", ""), "Artist - Title.mp3");

    store.saveFilterValue("Filter00", " @ ");
    EXPECT_EQ(backend.values["Filters"]["Filter00"], " @ ");
    EXPECT_EQ(store.getFilterValue("Filter00", ""), " @ ");

    store.deleteSection("Formats");
    store.deleteSection("Formats"); // missing section: no error
    EXPECT_FALSE(backend.values.contains("Formats"));
}

TEST(LoadOptions, DefaultsAndNumericRulesOfStoredValues)
{
    MemorySettingsBackend backend;
    SettingsStore store(backend);
    const Options d = loadOptions(store); // nothing stored
    EXPECT_EQ(d.id3AutoSave, 1);
    EXPECT_EQ(d.syncOption, SyncMode::None);
    EXPECT_FALSE(d.removeParens);
    EXPECT_FALSE(d.removeUnderscores);
    EXPECT_EQ(d.newFileCase, NameCase::Title);
    EXPECT_FALSE(d.splitSpaces);
    EXPECT_EQ(d.separatorString, "-");
    EXPECT_TRUE(d.useFormattedTrack);
    EXPECT_FALSE(d.keepFileTimes);
    EXPECT_FALSE(d.mp3FilesOnly);
    EXPECT_EQ(listedFormats(d), ListedFormats::All);

    auto& s = backend.values["Settings"];
    // Checked at full width: 65536 is not 0 cut to 16 bits, 4294967296 not 0 cut to 32.
    for (const char* odd : { "5", "-1", "65536", "131072x", "99999999999", "4294967296" }) {
        s["ID3AutoSave"] = odd;
        EXPECT_EQ(loadOptions(store).id3AutoSave, 1) << odd;
    }
    s["ID3AutoSave"] = "0";
    EXPECT_EQ(loadOptions(store).id3AutoSave, 0);

    s["SyncOption"] = "2abc";
    EXPECT_EQ(loadOptions(store).syncOption, SyncMode::None);
    s["SyncOption"] = "";
    EXPECT_EQ(loadOptions(store).syncOption, SyncMode::NameToTags);

    s["SplitSpaces"] = "1";
    EXPECT_EQ(loadOptions(store).separatorString, " - ");
    s["SplitSpaces"] = "11"; // on is exactly 1
    EXPECT_EQ(loadOptions(store).separatorString, "-");

    s["UseFormattedTrack"] = "0";
    s["New File Case"] = "xx";
    s["Keep File Times"] = "1";
    s["MP3 Files Only"] = "1";
    const Options o = loadOptions(store);
    EXPECT_FALSE(o.useFormattedTrack);
    EXPECT_TRUE(o.keepFileTimes);
    EXPECT_EQ(listedFormats(o), ListedFormats::Mp3Only);
    EXPECT_EQ(o.newFileCase, NameCase::Unchanged);
    EXPECT_TRUE(o.newFileCaseUnknown);
}

TEST(FormatTrackAndYear, PadOnlyNonZeroNumbers)
{
    Options o;
    EXPECT_EQ(formatTrack(5, o), "05");
    EXPECT_EQ(formatTrack(123, o), "123");
    EXPECT_EQ(formatTrack(0, o), "");
    o.useFormattedTrack = false;
    EXPECT_EQ(formatTrack(5, o), "5");
    EXPECT_EQ(formatTrack(0, o), "");
    EXPECT_EQ(formatYear(0), "");
    EXPECT_EQ(formatYear(99), "0099");
    EXPECT_EQ(formatYear(1999), "1999");
}

TEST(LoadFilters, ParsesStoredFormsAndStopsAtTheFirstGap)
{
    MemorySettingsBackend backend;
    SettingsStore store(backend);
    EXPECT_EQ(loadFilters(store), FilterList { FilterRecord {} });

    auto& f = backend.values["Filters"];
    f["Filter00"] = "@_";
    f["Filter01"] = "a@b";
    f["Filter02"] = "ab";
    f["Filter04"] = "never@read";
    EXPECT_EQ(loadFilters(store),
        (FilterList {
            { FilterKind::Delete, "_", "" }, { FilterKind::Replace, "a", "b" }, { FilterKind::Replace, "ab", "" } }));

    f.remove("Filter00"); // without Filter00 nothing is read
    EXPECT_EQ(loadFilters(store), FilterList { FilterRecord {} });
}

TEST(GetLastPath, FallsBackOneLevelThenToHome)
{
    QTemporaryDir dir;
    const QString songs = dir.filePath("Songs");
    ASSERT_TRUE(QDir().mkpath(songs));
    MemorySettingsBackend backend;
    SettingsStore store(backend);
    const QString home = QDir::homePath() + "/";

    EXPECT_EQ(getLastPath(store, "Last Path"), home); // nothing stored

    store.saveOption("Last Path", songs + "/");
    EXPECT_EQ(getLastPath(store, "Last Path"), songs + "/");
    store.saveOption("Last Path", songs);
    EXPECT_EQ(getLastPath(store, "Last Path"), songs + "/");

    // Only the trailing separator goes: the folder is still missing.
    store.saveOption("Last Path", songs + "/Old/");
    EXPECT_EQ(getLastPath(store, "Last Path"), home);
    store.saveOption("Last Path", songs + "/Old");
    EXPECT_EQ(getLastPath(store, "Last Path"), songs + "/");

    EXPECT_FALSE(dirExists(""));
}

TEST(RestoredWindowSize, StoredSizeOrDesignNeverLargerThanTheScreen)
{
    const QSize design(900, 640);
    const QSize screen(1280, 800);
    const struct {
        const char *width, *height;
        QSize available, expected;
    } cases[] = {
        { "1000", "700", screen, { 1000, 700 } }, { "0", "", screen, design }, { "-5", "700", screen, { 900, 700 } },
        { "5000", "4000", screen, screen }, { "70000", "700", screen, { 1280, 700 } }, // not cut to 16 bits first
        { "1000", "900", screen, { 1000, 800 } },
        { "0", "0", { 800, 600 }, { 800, 600 } }, // the designed size is cut too
        { "5000", "700", {}, { 5000, 700 } }, // no screen known: nothing to cut to
    };
    for (const auto& c : cases) {
        MemorySettingsBackend backend;
        backend.values["Settings"]["Last Width"] = c.width;
        backend.values["Settings"]["Last Height"] = c.height;
        EXPECT_EQ(restoredWindowSize(SettingsStore(backend), design, c.available), c.expected)
            << c.width << "x" << c.height;
    }
}

TEST(SaveSettings, AFailureIsToldOnceWithThePathAndTheReason)
{
    MemorySettingsBackend backend;
    Preferences prefs(backend);
    ScriptedPrompter prompter;
    EXPECT_TRUE(prefs.saveSettings(prompter));
    EXPECT_TRUE(prompter.calls.isEmpty());

    backend.failure = { "/home/u/.config/Velmora/Velmora.ini", { 53, "Not a directory" } };
    EXPECT_FALSE(prefs.saveSettings(prompter));
    EXPECT_FALSE(prefs.saveSettings(prompter));
    EXPECT_EQ(backend.syncs, 3);
    EXPECT_EQ(prompter.messageTexts(),
        QStringList { "Your Settings Cannot Be Saved To:\r\n\r\n/home/u/.config/Velmora/Velmora.ini\r\n\r\n"
                      "Error: Not a directory (53)\r\n\r\nVelmora Goes On, But Changed Settings Will Not Be Kept." });
    EXPECT_EQ(prompter.calls.last().icon, MsgIcon::Exclamation);

    // The values stay in use meanwhile.
    prefs.store.saveOption("SplitSpaces", "1");
    prefs.loadOptions();
    EXPECT_EQ(prefs.options.separatorString, " - ");
}
