// The main window's window-independent pieces: size texts, rename error
// texts, the help file lookup, the existing-target prompt and the folder
// picker.
#include "app/renameerror.h"
#include "app/ui/helpfile.h"
#include "massrename/browseforfolder.h"
#include "massrename/ui/fileexistsform.h"
#include "platform/fakes/scriptedprompter.h"
#include "support/mp3builder.h"
#include "support/qttesthelpers.h"
#include "tagedit/filesize.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

TEST(FormatFileSize, ThreeSignificantDigitsByMagnitude)
{
    const std::pair<qint64, const char*> cases[] = {
        { 0, "0 bytes" },
        { 1023, "1,023 bytes" },
        { 1024, "1.00KB" },
        { 10240, "10.0KB" },
        { 102400, "100KB" },
        { 999 * 1024 + 1023, "1000KB" }, // rounds up into four digits without a group separator
        { 1000 * 1024, "0.98MB" },
        { 10000 * 1024, "9.8MB" },
        { qint64(100000) * 1024, "98MB" },
        { qint64(5) * 1073741824 + 536870912, "5.50GB" },
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(formatFileSize(bytes), QLatin1String(text)) << bytes;
}

TEST(RenameErrorMessage, TheFileTheSystemsReasonAndOnlyCausesThatHoldHere)
{
    const QString head = QStringLiteral("Renaming Of 'x.mp3' Encountered Errors\r\n\r\n/music/a.mp3\r\n\r\nError: ");
    const struct {
        FileError error;
        const char* cause; // "" for none
    } cases[] = {
        { { 13, QStringLiteral("Type mismatch") },
            "Possible Cause: Check The Internal ID Tag Values.  Ensure Alpha Entries Are Alpha and Numeric "
            "Entries Are Numeric" },
        { { 53, QStringLiteral("Illegal file name") }, "Possible Cause: Illegal Filename" },
        { fileErrorFromErrno(ENOENT), "Possible Cause: The File Was Moved Or Deleted By Another Program" },
        { fileErrorFromErrno(EACCES), "Possible Cause: Renaming Needs Write Permission On The Folder" },
        // Nothing about the file's content or its use by another program.
        { fileErrorFromErrno(EPERM), "" },
        { fileErrorFromErrno(EROFS), "" },
        { fileErrorFromErrno(ENOSPC), "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error.description.toStdString());
        const QString reason
            = c.error.description + QStringLiteral(" (") + QString::number(c.error.number) + QLatin1Char(')');
        const QString cause = QLatin1String(c.cause);
        EXPECT_EQ(renameErrorMessage(QStringLiteral("/music/a.mp3"), QStringLiteral("x.mp3"), c.error),
            head + reason + (cause.isEmpty() ? QString() : QStringLiteral("\r\n\r\n") + cause));
    }
    EXPECT_EQ(renameErrorMessage(QStringLiteral("x.mp3"), fileErrorFromErrno(EACCES)),
        QStringLiteral("Renaming Of 'x.mp3' Encountered Errors\r\n\r\nError: Permission denied (75)\r\n\r\n"
                       "Possible Cause: Renaming Needs Write Permission On The Folder"));
}

TEST(HelpFilePath, BuildTreeCopyWinsOverInstalledData)
{
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    EXPECT_EQ(helpFilePath(program.path(), QStringLiteral("/usr/share/velmora")),
        QStringLiteral("/usr/share/velmora/velmora.html"));
    ASSERT_TRUE(Mp3Builder::writeFile(program.filePath(QStringLiteral("velmora.html")), "<html></html>"));
    EXPECT_EQ(helpFilePath(program.path(), QStringLiteral("/usr/share/velmora")),
        program.filePath(QStringLiteral("velmora.html")));
}

TEST(FileExistsForm, ShowsBothFilesAndOnlyItsButtonsEndIt)
{
    const QStringList existing { "b.mp3", "1.50KB (1,536 bytes)", "created", "accessed", "modified" };
    const QStringList renamed { "a.mp3", "3.00KB (3,072 bytes)", "created 2", "accessed 2", "modified 2" };
    FileExistsForm form(QStringLiteral("/music/"), existing, renamed);
    EXPECT_EQ(form.existingLabel(4)->text(), existing.at(4));
    EXPECT_EQ(form.renamedLabel(0)->text(), renamed.at(0));
    form.show();
    EXPECT_FALSE(form.close());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&form, &escape);
    EXPECT_TRUE(form.isVisible());
    form.findChild<QPushButton*>(QStringLiteral("OverwriteFile"))->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.fileAnswer(), ExistingTargetAnswer::Overwrite);
}

TEST(BrowseForFolder, AsksThePrompterWithTitleAndStartFolder)
{
    ScriptedPrompter prompter;
    prompter.folders.enqueue(QStringLiteral("/media/Rock"));
    EXPECT_EQ(browseForFolder(prompter, QStringLiteral("/media/Songs")), QStringLiteral("/media/Rock"));
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].kind, ScriptedPrompter::Kind::Folder);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("Select Target Directory"));
    EXPECT_EQ(prompter.calls[0].defaultText, QStringLiteral("/media/Songs"));
    EXPECT_EQ(browseForFolder(prompter, QStringLiteral("/media/Songs")), QString()); // cancelled
}
