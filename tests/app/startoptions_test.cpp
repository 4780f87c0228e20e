// What `velmora [OPTION] [FOLDER | FILE...]` asks for before any window exists.
#include "app/startoptions.h"

#include <gtest/gtest.h>

TEST(StartOptions, OptionsDecideBeforeAnyPathIsOpened)
{
    const struct {
        QStringList arguments;
        StartAction action;
        QString refused;
        QStringList paths;
    } cases[] = {
        { {}, StartAction::Open, {}, {} },
        { { "Music" }, StartAction::Open, {}, { "Music" } },
        { { "a.mp3", "b.mp3" }, StartAction::Open, {}, { "a.mp3", "b.mp3" } },
        { { "--help" }, StartAction::ShowHelp, {}, {} },
        { { "-h" }, StartAction::ShowHelp, {}, {} },
        { { "--version" }, StartAction::ShowVersion, {}, {} },
        { { "-v" }, StartAction::ShowVersion, {}, {} },
        // An option anywhere before "--" counts; paths beside it are not opened.
        { { "Music", "--help" }, StartAction::ShowHelp, {}, {} },
        // The first option decides.
        { { "--version", "--help" }, StartAction::ShowVersion, {}, {} },
        { { "-h", "-v" }, StartAction::ShowHelp, {}, {} },
        // Anything else starting with "-" is refused, wherever it stands.
        { { "--bogus" }, StartAction::Refuse, "--bogus", {} },
        { { "-x" }, StartAction::Refuse, "-x", {} },
        { { "-" }, StartAction::Refuse, "-", {} },
        { { "--HELP" }, StartAction::Refuse, "--HELP", {} },
        { { "--help=1" }, StartAction::Refuse, "--help=1", {} },
        { { "-platform", "offscreen" }, StartAction::Refuse, "-platform", {} },
        { { "--help", "--bogus" }, StartAction::Refuse, "--bogus", {} },
        { { "Music", "-q", "--nope" }, StartAction::Refuse, "-q", {} },
        // After "--" every argument is a path; "--" itself is kept for
        // openRequestFor, which skips it.
        { { "--", "--help", "-x.mp3" }, StartAction::Open, {}, { "--", "--help", "-x.mp3" } },
        { { "Music", "--", "-" }, StartAction::Open, {}, { "Music", "--", "-" } },
        { { "--version", "--", "--bogus" }, StartAction::ShowVersion, {}, {} },
        // A path holding a dash elsewhere is a path.
        { { "a-b.mp3", "./-x.mp3" }, StartAction::Open, {}, { "a-b.mp3", "./-x.mp3" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const StartOptions options = startOptionsFor(c.arguments);
        EXPECT_EQ(options.action, c.action);
        EXPECT_EQ(options.refusedOption, c.refused);
        EXPECT_EQ(options.paths, c.paths);
    }
}

TEST(StartOptions, OnlyARefusedOptionEndsWithAFailure)
{
    EXPECT_EQ(exitStatusFor(StartAction::Open), 0);
    EXPECT_EQ(exitStatusFor(StartAction::ShowHelp), 0);
    EXPECT_EQ(exitStatusFor(StartAction::ShowVersion), 0);
    EXPECT_EQ(exitStatusFor(StartAction::Refuse), 2);
}

TEST(StartOptions, TheUsageNamesEveryOptionAndTheVersionLineTheProgram)
{
    const QString usage = usageText();
    EXPECT_TRUE(usage.startsWith(QStringLiteral("Usage: velmora [OPTION] [FOLDER | FILE...]\n")));
    for (const char* option : { "-h, --help", "-v, --version", "--  " })
        EXPECT_TRUE(usage.contains(QLatin1String(option))) << option;
    EXPECT_TRUE(usage.endsWith(QLatin1Char('\n')));
    EXPECT_EQ(versionText(QStringLiteral("2.3.4")), QStringLiteral("velmora 2.3.4\n"));
}
