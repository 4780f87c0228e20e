// The main window's window-independent pieces: size texts, rename error
// texts, the help file lookup, the existing-target prompt and the folder
// picker.
#include "tagedit/filesize.h"
#include "app/ui/helpfile.h"
#include "app/ui/renameerror.h"
#include "massrename/browseforfolder.h"
#include "massrename/ui/fileexistsform.h"
#include "platform/fakes/scriptedprompter.h"
#include "support/mp3builder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FormatFileSize, BytesBelowOneKilobyteWithThousandsSeparator)
{
    EXPECT_EQ(FormatFileSize(0), QStringLiteral("0 bytes"));
    EXPECT_EQ(FormatFileSize(1), QStringLiteral("1 bytes"));
    EXPECT_EQ(FormatFileSize(1023), QStringLiteral("1,023 bytes"));
}

TEST(FormatFileSize, KilobytesWithDecimalsByMagnitude)
{
    EXPECT_EQ(FormatFileSize(1024), QStringLiteral("1.00KB"));
    EXPECT_EQ(FormatFileSize(1536), QStringLiteral("1.50KB"));
    EXPECT_EQ(FormatFileSize(10240), QStringLiteral("10.0KB"));
    EXPECT_EQ(FormatFileSize(102400), QStringLiteral("100KB"));
    // Rounds up into four digits without a group separator.
    EXPECT_EQ(FormatFileSize(999 * 1024 + 1023), QStringLiteral("1000KB"));
}

TEST(FormatFileSize, MegabytesAndGigabytes)
{
    EXPECT_EQ(FormatFileSize(1000 * 1024), QStringLiteral("0.98MB"));
    EXPECT_EQ(FormatFileSize(1048576), QStringLiteral("1.00MB"));
    EXPECT_EQ(FormatFileSize(10000 * 1024), QStringLiteral("9.8MB"));
    EXPECT_EQ(FormatFileSize(qint64(100000) * 1024), QStringLiteral("98MB"));
    EXPECT_EQ(FormatFileSize(1073741824), QStringLiteral("1.00GB"));
    EXPECT_EQ(FormatFileSize(qint64(5) * 1073741824 + 536870912), QStringLiteral("5.50GB"));
}

TEST(FormatFileSize, ReportFormAddsTheExactCountFromOneKilobyte)
{
    EXPECT_EQ(FormatFileSizeWithBytes(1023), QStringLiteral("1,023 bytes"));
    EXPECT_EQ(FormatFileSizeWithBytes(1536), QStringLiteral("1.50KB (1,536 bytes)"));
    EXPECT_EQ(FormatFileSizeWithBytes(1048576), QStringLiteral("1.00MB (1,048,576 bytes)"));
}

TEST(RenameErrorMessage, CauseLineBySelectedNumber)
{
    const QString head = QStringLiteral("Renaming Of 'x.mp3' Encountered Errors\r\n\r\nError: text (%1)\r\n\r\n");
    EXPECT_EQ(RenameErrorMessage(QStringLiteral("x.mp3"), {13, QStringLiteral("text")}),
              head.arg(13) + QStringLiteral("Possible Cause: Check The Internal ID Tag Values.  Ensure Alpha Entries "
                                            "Are Alpha and Numeric Entries Are Numeric"));
    EXPECT_EQ(RenameErrorMessage(QStringLiteral("x.mp3"), {53, QStringLiteral("text")}),
              head.arg(53) + QStringLiteral("Possible Cause: Illegal Filename"));
    EXPECT_EQ(RenameErrorMessage(QStringLiteral("x.mp3"), {75, QStringLiteral("text")}),
              head.arg(75) + QStringLiteral("Possible Cause: Check The File, It May Not Be A Valid MP3 File"));
    EXPECT_EQ(RenameErrorMessage(QStringLiteral("x.mp3"), {61, QStringLiteral("text")}), head.arg(61));
    EXPECT_EQ(RenameErrorStatus(QStringLiteral("x.mp3")), QStringLiteral("Renaming Of 'x.mp3' Encountered Errors"));
}

TEST(HelpFilePath, BuildTreeCopyWinsOverInstalledData)
{
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    EXPECT_EQ(HelpFilePath(program.path(), QStringLiteral("/usr/share/velmora")),
              QStringLiteral("/usr/share/velmora/velmora.html"));
    ASSERT_TRUE(Mp3Builder::writeFile(program.filePath(QStringLiteral("velmora.html")), "<html></html>"));
    EXPECT_EQ(HelpFilePath(program.path(), QStringLiteral("/usr/share/velmora")),
              program.filePath(QStringLiteral("velmora.html")));
}

TEST(HelpPage, DescribesKeysMasksOptionsRecordingAndMassRenaming)
{
    // The test source sits two folders below the project root.
    QFile page(QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../docs/velmora.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    for (const char* needle : {"F11", "Ctrl+F2", "Format Mask", "Options", "Record", "Mass Rename", "MultiTagger",
                               "Filters", "Trash"})
        EXPECT_TRUE(html.contains(QLatin1String(needle), Qt::CaseInsensitive)) << needle;
}

namespace {

QStringList facts(const char* name)
{
    return {QLatin1String(name), QStringLiteral("1.50KB (1,536 bytes)"), QStringLiteral("Monday, March 2, 2026 1:00:00 PM"),
            QStringLiteral("Tuesday, March 3, 2026 2:00:00 PM"), QStringLiteral("Wednesday, March 4, 2026 3:00:00 PM")};
}

} // namespace

TEST(FileExistsForm, ShowsBothFilesSideBySide)
{
    FileExistsForm form(QStringLiteral("/music/"), facts("b.mp3"), facts("a.mp3"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("File Already Exists!"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("CurrentPath"))->text(), QStringLiteral("/music/"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("CurrentPath"))->toolTip(), QStringLiteral("Current Working Path"));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(form.existingLabel(i)->text(), facts("b.mp3").at(i));
        EXPECT_EQ(form.renamedLabel(i)->text(), facts("a.mp3").at(i));
    }
    EXPECT_EQ(form.existingLabel(0)->toolTip(), QStringLiteral("Existing File File Name"));
    EXPECT_EQ(form.existingLabel(3)->toolTip(), QStringLiteral("Existing File Last Access Date"));
    EXPECT_EQ(form.renamedLabel(4)->toolTip(), QStringLiteral("Conflicting File Modification Date"));
    EXPECT_EQ(form.findChild<QPushButton*>(QStringLiteral("OverwriteFile"))->text(),
              QStringLiteral("&Overwrite Existing File"));
    EXPECT_EQ(form.findChild<QPushButton*>(QStringLiteral("SkipFile"))->toolTip(),
              QStringLiteral("Don't Change Anything, Just Go To The Next File"));
    EXPECT_EQ(form.FileAnswer(), QString());
}

TEST(FileExistsForm, CloseBoxAndEscapeDoNotEndThePrompt)
{
    FileExistsForm form(QStringLiteral("/music/"), facts("b.mp3"), facts("a.mp3"));
    form.show();
    EXPECT_TRUE(form.closeGuard());
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&form, &escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.FileAnswer(), QString());

    form.findChild<QPushButton*>(QStringLiteral("SkipFile"))->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.closeGuard());
    EXPECT_EQ(form.FileAnswer(), QStringLiteral("Skip"));
    EXPECT_EQ(form.result(), QDialog::Rejected);
}

TEST(FileExistsForm, OverwriteAnswersAndCloses)
{
    FileExistsForm form(QStringLiteral("/music/"), facts("b.mp3"), facts("a.mp3"));
    form.show();
    form.findChild<QPushButton*>(QStringLiteral("OverwriteFile"))->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.FileAnswer(), QStringLiteral("Overwrite"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(BrowseForFolder, AsksThePrompterWithTitleAndStartFolder)
{
    ScriptedPrompter prompter;
    prompter.folders.enqueue(QStringLiteral("/media/Rock"));
    EXPECT_EQ(BrowseForFolder(prompter, QStringLiteral("/media/Songs")), QStringLiteral("/media/Rock"));
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].kind, ScriptedPrompter::Kind::Folder);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("Select Target Directory"));
    EXPECT_EQ(prompter.calls[0].defaultText, QStringLiteral("/media/Songs"));
    EXPECT_EQ(BrowseForFolder(prompter, QStringLiteral("/media/Songs")), QString()); // cancelled
}

TEST(BrowseForFolder, StripTrailingBackslashRemovesOneSeparator)
{
    EXPECT_EQ(StripTrailingBackslash(QStringLiteral("/media/Songs/")), QStringLiteral("/media/Songs"));
    EXPECT_EQ(StripTrailingBackslash(QStringLiteral("/media/Songs")), QStringLiteral("/media/Songs"));
    EXPECT_EQ(StripTrailingBackslash(QString()), QString());
    EXPECT_EQ(StripTrailingBackslash(QStringLiteral("/")), QStringLiteral("/"));
}
