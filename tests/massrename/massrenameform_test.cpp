#include "massrenamefixture.h"

#include "massrename/ui/massrenameform.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

namespace {

// A window over the fixture's doubles, opened on the fixture's music folder.
class MassRenameFormTest : public MassRenameTest {
protected:
    std::unique_ptr<MassRenameForm> open()
    {
        auto form = std::make_unique<MassRenameForm>(
            services, prefs, root.chopped(1), [this] { ++optionsOpened; }, [this] { ++filtersOpened; });
        form->engine().setLogFolder(logFolder);
        form->show();
        return form;
    }

    template <typename W> static W* child(MassRenameForm& form, const char* name)
    {
        W* w = form.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    int optionsOpened = 0;
    int filtersOpened = 0;
};

} // namespace

TEST_F(MassRenameFormTest, OpensOnTheMainWindowsFolderWithStoredChoicesAndFormatClicksBuildTheStringClosingStores)
{
    settings.values["Settings"]["MLastDir"] = "/nowhere/";
    settings.values["Settings"]["MIncludeSubs"] = "1";
    settings.values["Settings"]["MBuiltFormat"] = "Artist - Title";
    auto form = open();
    EXPECT_EQ(child<QLineEdit>(*form, "StartDir")->text(), root);
    EXPECT_TRUE(child<QCheckBox>(*form, "IncludeSubs")->isChecked());
    EXPECT_EQ(form->formatParts(), (QStringList { "Artist", "Title" }));

    auto* list = child<QListWidget>(*form, "FormatList");
    const auto items = list->findItems("Album", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    emit list->itemClicked(items.first());
    EXPECT_EQ(child<QLineEdit>(*form, "BuiltFormat")->text(), "Artist - Title - Album");
    child<QCheckBox>(*form, "AllParts")->setChecked(true);
    child<QPushButton>(*form, "ExitButton")->click();
    EXPECT_EQ(settings.values["Settings"]["MAllParts"], "1");
    EXPECT_EQ(settings.values["Settings"]["MBuiltFormat"], "Artist - Title - Album");
}

TEST_F(MassRenameFormTest, GoRunsFillsTheGridAndCountersAndScrollsTheNewestRowIntoView)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b 2.mp3")); // already clean: skipped
    makeFile(QStringLiteral("c.mp3"), QByteArray());
    for (int i = 0; i < 57; ++i)
        makeFile(QStringLiteral("song_%1.mp3").arg(i, 2, 10, QLatin1Char('0')), "not empty");
    auto form = open();
    form->resize(700, 500);
    prompter.answers << Answer::Yes;
    child<QPushButton>(*form, "GoButton")->click();
    EXPECT_EQ(namesIn().mid(0, 4), (QStringList { "a 1.mp3", "b 2.mp3", "c.mp3", "song 00.mp3" }));
    auto* grid = child<QTableView>(*form, "StatusGridLV");
    ASSERT_EQ(grid->model()->rowCount(), 60);
    EXPECT_EQ(grid->model()->index(0, 2).data().toString(), "a 1.mp3");
    QStringList counters;
    for (const char* name : { "TotalCount", "SkipCount", "ErrorCount", "RenameCount" })
        counters << child<QLineEdit>(*form, name)->text();
    EXPECT_EQ(counters, (QStringList { "60", "1", "1", "58" }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(59, 1)).center()));
}

TEST_F(MassRenameFormTest, GoWithAMissingFolderSelectsTheStartDir)
{
    auto form = open();
    auto* startDir = child<QLineEdit>(*form, "StartDir");
    startDir->setText(root + "missing/");
    child<QPushButton>(*form, "GoButton")->click();
    EXPECT_EQ(prompter.messageTexts(), QStringList { "The Starting Directory Cannot Be Found!" });
    EXPECT_EQ(startDir->selectedText(), root + "missing/");
}

TEST_F(MassRenameFormTest, FindDirAndPicturesOpenTheirDialogs)
{
    auto form = open();
    prompter.folders << "/srv/rock";
    child<QToolButton>(*form, "FindDir")->click();
    EXPECT_EQ(child<QLineEdit>(*form, "StartDir")->text(), "/srv/rock/");
    child<QToolButton>(*form, "OptionsImage")->click();
    child<QToolButton>(*form, "FilterImage")->click();
    EXPECT_EQ(optionsOpened, 1);
    EXPECT_EQ(filtersOpened, 1);
}

namespace {

// Answers Yes to everything and notes what the window shows at each
// per-file question.
class PeekingPrompter final : public Prompter {
public:
    Answer message(const QString&, const QString&, MsgIcon, MsgButtons buttons) override
    {
        if (buttons == MsgButtons::YesNoCancel && peek)
            peek();
        return buttons == MsgButtons::Ok ? Answer::Ok : Answer::Yes;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }
    QString chooseFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    void beep() override { }

    std::function<void()> peek;
};

} // namespace

// Each question is asked with the rows and counters so far on view.
TEST_F(MassRenameFormTest, StopEscapeAndExitEndARunAfterTheCurrentFileAndQuestionsShowTheRowsSoFar)
{
    for (const char* name : { "a_1.mp3", "b_2.mp3", "c_3.mp3" })
        makeMp3(name);
    PeekingPrompter peeking;
    services.prompter = &peeking;
    auto form = open();
    child<QCheckBox>(*form, "ConfirmEach")->setChecked(true);
    QAbstractItemModel* model = child<QTableView>(*form, "StatusGridLV")->model();
    QStringList seen; // skip count and rows at each question: one question a run
    const auto stopBy = [&](const std::function<void()>& stop) {
        peeking.peek = [&] {
            seen << child<QLineEdit>(*form, "SkipCount")->text() + QString::number(model->rowCount());
            stop();
        };
        child<QPushButton>(*form, "GoButton")->click();
    };
    stopBy([&] { child<QPushButton>(*form, "StopButton")->click(); });
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b_2.mp3", "c_3.mp3" }));
    stopBy([&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &escape);
    });
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b 2.mp3", "c_3.mp3" }));
    EXPECT_TRUE(form->isVisible());
    stopBy([&] { child<QPushButton>(*form, "ExitButton")->click(); });
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b 2.mp3", "c 3.mp3" }));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(seen, (QStringList { "00", "11", "22" }));
}

TEST_F(MassRenameFormTest, PreviewFillsTheGridAndRenamePreviewedRenamesIt)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    auto form = open();
    auto* again = child<QPushButton>(*form, "RenamePreviewed");
    child<QPushButton>(*form, "PreviewButton")->click();
    EXPECT_EQ(namesIn(), QStringList { "a_1.mp3" });
    EXPECT_EQ(child<QTableView>(*form, "StatusGridLV")->model()->index(0, 2).data().toString(), "a 1.mp3");
    ASSERT_TRUE(again->isEnabled());
    prompter.answers << Answer::Yes;
    again->click();
    EXPECT_EQ(namesIn(), QStringList { "a 1.mp3" });
    EXPECT_FALSE(again->isEnabled());
}

TEST_F(MassRenameFormTest, ViewLogAndTheUndoButtonsGiveTheLastRunOrALoggedRunTheOldNamesBack)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    auto form = open();
    child<QCheckBox>(*form, "LogOperation")->setChecked(true);
    prompter.answers << Answer::Yes;
    child<QPushButton>(*form, "GoButton")->click();
    const QString runLog = form->engine().logFileName();
    child<QPushButton>(*form, "ViewLog")->click();
    EXPECT_EQ(launcher.opened, QStringList { logFolder + "MassRename-07Mar26-140509.log" });
    auto* undo = child<QPushButton>(*form, "UndoButton");
    ASSERT_TRUE(undo->isEnabled());
    prompter.answers << Answer::Yes;
    undo->click();
    EXPECT_EQ(namesIn(), QStringList { "a_1.mp3" });
    EXPECT_FALSE(undo->isEnabled());
    // From the log: the file is no longer where the run left it, so it is skipped.
    prompter.files << runLog;
    prompter.answers << Answer::Yes;
    child<QPushButton>(*form, "UndoLogButton")->click();
    EXPECT_EQ(namesIn(), QStringList { "a_1.mp3" });
    EXPECT_EQ(child<QLineEdit>(*form, "SkipCount")->text(), "1");
}

TEST_F(MassRenameFormTest, UndoLastRunWorksAfterTheWindowClosed)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    {
        auto form = open();
        prompter.answers << Answer::Yes;
        child<QPushButton>(*form, "GoButton")->click(); // no log asked for
        EXPECT_EQ(namesIn(), QStringList { "a 1.mp3" });
    }
    auto form = open();
    auto* undo = child<QPushButton>(*form, "UndoButton");
    ASSERT_TRUE(undo->isEnabled());
    prompter.answers << Answer::Yes;
    undo->click();
    EXPECT_EQ(namesIn(), QStringList { "a_1.mp3" });
    EXPECT_FALSE(undo->isEnabled());
}
