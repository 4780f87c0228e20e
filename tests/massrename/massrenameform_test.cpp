#include "massrenamefixture.h"

#include "massrename/ui/massrenameform.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
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
        form->Engine().SetLogFolder(logFolder);
        return form;
    }

    template <typename W> static W* child(MassRenameForm& form, const char* name)
    {
        W* w = form.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    static QString cell(QAbstractItemModel* model, int row, int column, int role = Qt::DisplayRole)
    {
        return model->data(model->index(row, column), role).toString();
    }
    static void clickFormat(MassRenameForm& form, const QString& entry)
    {
        auto* list = child<QListWidget>(form, "FormatList");
        const auto items = list->findItems(entry, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << entry.toStdString();
        emit list->itemClicked(items.first());
    }

    int optionsOpened = 0;
    int filtersOpened = 0;
};

} // namespace

TEST_F(MassRenameFormTest, OpensOnTheMainWindowsFolderWithStoredChoices)
{
    backend.values["Settings"]["MLastDir"] = "/nowhere/";
    backend.values["Settings"]["MIncludeSubs"] = "1";
    backend.values["Settings"]["MLogOperation"] = "1";
    backend.values["Settings"]["MConfirmEach"] = "0";
    backend.values["Settings"]["MBuiltFormat"] = "Artist - Title";
    auto form = open();
    EXPECT_EQ(child<QLineEdit>(*form, "StartDir")->text(), root);
    EXPECT_TRUE(child<QCheckBox>(*form, "IncludeSubs")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(*form, "LogOperation")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(*form, "ConfirmEach")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(*form, "AllParts")->isChecked());
    EXPECT_EQ(child<QLineEdit>(*form, "BuiltFormat")->text(), "Artist - Title");
    EXPECT_EQ(form->FormatParts(), (QStringList { "Artist", "Title" }));
}

TEST_F(MassRenameFormTest, GoRunsAndFillsTheGridAndCounters)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b 2.mp3")); // already clean: skipped
    makeFile(QStringLiteral("c.mp3"), QByteArray());
    makeMp3(QStringLiteral("Sub/d_4.mp3"));
    auto form = open();
    form->show();
    child<QCheckBox>(*form, "IncludeSubs")->setChecked(true);
    prompter.answers << Answer::Yes;
    child<QPushButton>(*form, "GoButton")->click();

    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b 2.mp3", "c.mp3" }));
    QAbstractItemModel* model = child<QTableView>(*form, "StatusGridLV")->model();
    ASSERT_EQ(model->rowCount(), 4);
    EXPECT_EQ(cell(model, 0, 0), root);
    EXPECT_EQ(cell(model, 0, 1), "a_1.mp3");
    EXPECT_EQ(cell(model, 0, 2), "a 1.mp3");
    EXPECT_EQ(cell(model, 2, 1), "c.mp3");
    EXPECT_EQ(cell(model, 2, 2), "");
    EXPECT_EQ(cell(model, 3, 0), root + "Sub/");

    EXPECT_EQ(child<QLineEdit>(*form, "TotalCount")->text(), "4");
    EXPECT_EQ(child<QLineEdit>(*form, "SkipCount")->text(), "1");
    EXPECT_EQ(child<QLineEdit>(*form, "ErrorCount")->text(), "1");
    EXPECT_EQ(child<QLineEdit>(*form, "RenameCount")->text(), "2");
    EXPECT_TRUE(child<QPushButton>(*form, "GoButton")->isEnabled());
}

TEST_F(MassRenameFormTest, GoWithAMissingFolderSelectsTheStartDir)
{
    auto form = open();
    form->show();
    auto* startDir = child<QLineEdit>(*form, "StartDir");
    startDir->setText(root + "missing/");
    child<QPushButton>(*form, "GoButton")->click();
    EXPECT_EQ(prompter.messageTexts(), QStringList { "The Starting Directory Cannot Be Found!" });
    EXPECT_EQ(startDir->selectedText(), root + "missing/");
}

TEST_F(MassRenameFormTest, FormatListClicksBuildTheAutoformatString)
{
    auto form = open();
    auto* built = child<QLineEdit>(*form, "BuiltFormat");
    clickFormat(*form, "Artist");
    clickFormat(*form, "Title");
    EXPECT_EQ(built->text(), "Artist - Title");
    clickFormat(*form, "None");
    EXPECT_EQ(built->text(), "");
    EXPECT_TRUE(form->FormatParts().isEmpty());

    child<QCheckBox>(*form, "UseOptions")->setChecked(true); // separator "-" by default
    clickFormat(*form, "Track");
    clickFormat(*form, "Track");
    EXPECT_EQ(built->text(), "Track-Track");
    EXPECT_EQ(form->FormatParts(), (QStringList { "Track", "Track" }));
}

TEST_F(MassRenameFormTest, ClosingStoresTheChoices)
{
    auto form = open();
    child<QCheckBox>(*form, "AllParts")->setChecked(true);
    child<QCheckBox>(*form, "UseFilters")->setChecked(true);
    child<QLineEdit>(*form, "BuiltFormat")->setText("  Artist - Album  ");
    child<QPushButton>(*form, "ExitButton")->click();
    const auto& s = backend.values["Settings"];
    EXPECT_EQ(s.value("MLastDir"), root);
    EXPECT_EQ(s.value("MAllParts"), "1");
    EXPECT_EQ(s.value("MUseFilters"), "1");
    EXPECT_EQ(s.value("MIncludeSubs"), "0");
    EXPECT_EQ(s.value("MBuiltFormat"), "Artist - Album");
}

TEST_F(MassRenameFormTest, FindDirTakesTheChosenFolderOrKeepsTheOldOneAndPicturesOpenOptionsAndFilters)
{
    auto form = open();
    auto* startDir = child<QLineEdit>(*form, "StartDir");
    prompter.folders << "/srv/rock";
    child<QToolButton>(*form, "FindDir")->click();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].defaultText, root.chopped(1));
    EXPECT_EQ(startDir->text(), "/srv/rock/");

    child<QToolButton>(*form, "FindDir")->click(); // cancelled
    EXPECT_EQ(prompter.calls[1].defaultText, "/srv/rock");
    EXPECT_EQ(startDir->text(), "/srv/rock/");

    // The picture buttons open the options and the filters.
    child<QToolButton>(*form, "OptionsImage")->click();
    child<QToolButton>(*form, "FilterImage")->click();
    child<QToolButton>(*form, "FilterImage")->click();
    EXPECT_EQ(optionsOpened, 1);
    EXPECT_EQ(filtersOpened, 2);
}

TEST_F(MassRenameFormTest, ViewLogOpensTheLastLogAndReportsAFailedLaunch)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    auto form = open();
    child<QCheckBox>(*form, "LogOperation")->setChecked(true);
    prompter.answers << Answer::Yes;
    child<QPushButton>(*form, "GoButton")->click();
    child<QPushButton>(*form, "ViewLog")->click();
    ASSERT_EQ(launcher.opened.size(), 1);
    EXPECT_EQ(launcher.opened[0], logFolder + "MassRename-07Mar26-140509.log");
    EXPECT_TRUE(QFileInfo::exists(launcher.opened[0]));

    launcher.result = 31;
    child<QPushButton>(*form, "ViewLog")->click();
    EXPECT_EQ(prompter.calls.last().text,
        "No association for file extension\r\n\r\n" + logFolder + "MassRename-07Mar26-140509.log");
}

TEST_F(MassRenameFormTest, TheNewestRowIsScrolledIntoView)
{
    for (int i = 0; i < 60; ++i)
        makeFile(QStringLiteral("song_%1.mp3").arg(i, 2, 10, QLatin1Char('0')), "not empty");
    auto form = open();
    form->resize(700, 500);
    form->show();
    prompter.answers << Answer::Yes;
    child<QPushButton>(*form, "GoButton")->click();
    auto* grid = child<QTableView>(*form, "StatusGridLV");
    ASSERT_EQ(grid->model()->rowCount(), 60);
    QCoreApplication::processEvents();
    const QRect last = grid->visualRect(grid->model()->index(59, 1));
    EXPECT_TRUE(grid->viewport()->rect().contains(last.center()));
    EXPECT_FALSE(grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(0, 1)).center()));
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
    void beep() override { }

    std::function<void()> peek;
};

} // namespace

TEST_F(MassRenameFormTest, CountersAndRowsAreShownBeforeEachQuestion)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b_2.mp3"));
    makeMp3(QStringLiteral("c_3.mp3"));
    PeekingPrompter peeking;
    services.prompter = &peeking;
    auto form = open();
    form->show();
    child<QCheckBox>(*form, "ConfirmEach")->setChecked(true);
    auto* total = child<QLineEdit>(*form, "TotalCount");
    auto* renamed = child<QLineEdit>(*form, "RenameCount");
    QAbstractItemModel* model = child<QTableView>(*form, "StatusGridLV")->model();
    auto* go = child<QPushButton>(*form, "GoButton");
    QStringList seen;
    peeking.peek = [&] {
        seen << QStringLiteral("%1/%2/%3/%4")
                    .arg(total->text(), renamed->text())
                    .arg(model->rowCount())
                    .arg(go->isEnabled());
    };
    go->click();
    EXPECT_EQ(seen, (QStringList { "1/0/0/0", "2/1/1/0", "3/2/2/0" }));
    EXPECT_EQ(renamed->text(), "3");
}

TEST_F(MassRenameFormTest, StopEscapeAndExitEndARunAfterTheCurrentFile)
{
    for (const char* name : { "a_1.mp3", "b_2.mp3", "c_3.mp3" })
        makeMp3(name);
    PeekingPrompter peeking;
    services.prompter = &peeking;
    auto form = open();
    form->show();
    child<QCheckBox>(*form, "ConfirmEach")->setChecked(true);
    auto* stop = child<QPushButton>(*form, "StopButton");
    auto* progress = child<QProgressBar>(*form, "RunProgress");
    EXPECT_FALSE(stop->isEnabled());
    int questions = 0;
    peeking.peek = [&] {
        if (++questions == 1) {
            EXPECT_TRUE(stop->isEnabled());
            EXPECT_EQ(progress->maximum(), 3);
            stop->click();
        }
    };
    child<QPushButton>(*form, "GoButton")->click();
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b_2.mp3", "c_3.mp3" }));
    EXPECT_EQ(child<QLineEdit>(*form, "TotalCount")->text(), "1");
    EXPECT_EQ(progress->value(), 1);
    EXPECT_FALSE(stop->isEnabled());

    // Escape stops too and leaves the window open.
    questions = 0;
    peeking.peek = [&] {
        ++questions;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &escape);
    };
    child<QPushButton>(*form, "GoButton")->click();
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b 2.mp3", "c_3.mp3" }));
    EXPECT_TRUE(form->isVisible());

    // Exit stops, then closes.
    peeking.peek = [&] { child<QPushButton>(*form, "ExitButton")->click(); };
    child<QPushButton>(*form, "GoButton")->click();
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b 2.mp3", "c 3.mp3" }));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MassRenameFormTest, PreviewFillsTheGridAndRenamePreviewedRenamesIt)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    makeMp3(QStringLiteral("b_2.mp3"));
    makeFile(QStringLiteral("b 2.mp3"), "taken");
    auto form = open();
    form->show();
    auto* again = child<QPushButton>(*form, "RenamePreviewed");
    EXPECT_FALSE(again->isEnabled());
    child<QPushButton>(*form, "PreviewButton")->click();
    EXPECT_EQ(namesIn(), (QStringList { "a_1.mp3", "b 2.mp3", "b_2.mp3" }));
    QAbstractItemModel* model = child<QTableView>(*form, "StatusGridLV")->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(cell(model, 0, 2), "a 1.mp3");
    EXPECT_EQ(cell(model, 2, 2), "b 2.mp3");
    EXPECT_EQ(cell(model, 2, 2, Qt::ToolTipRole), "b 2.mp3 - Name Taken By An Existing File");
    ASSERT_TRUE(again->isEnabled());
    prompter.answers << Answer::Yes;
    again->click();
    EXPECT_EQ(namesIn(), (QStringList { "a 1.mp3", "b 2.mp3", "b_2.mp3" }));
    EXPECT_FALSE(again->isEnabled());
}

TEST_F(MassRenameFormTest, UndoButtonsGiveTheLastRunOrALoggedRunTheOldNamesBack)
{
    makeMp3(QStringLiteral("a_1.mp3"));
    auto form = open();
    form->show();
    child<QCheckBox>(*form, "LogOperation")->setChecked(true);
    auto* undo = child<QPushButton>(*form, "UndoButton");
    EXPECT_FALSE(undo->isEnabled());
    prompter.answers << Answer::Yes;
    child<QPushButton>(*form, "GoButton")->click();
    EXPECT_EQ(namesIn(), QStringList { "a 1.mp3" });
    const QString runLog = form->Engine().LogFileName();
    ASSERT_TRUE(undo->isEnabled());
    prompter.answers << Answer::Yes;
    undo->click();
    EXPECT_EQ(namesIn(), QStringList { "a_1.mp3" });
    EXPECT_FALSE(undo->isEnabled());

    // The same run once more, now from its log: a second undo finds the file
    // gone from where the run left it and leaves everything alone.
    prompter.files << runLog;
    prompter.answers << Answer::Yes;
    child<QPushButton>(*form, "UndoLogButton")->click();
    EXPECT_EQ(namesIn(), QStringList { "a_1.mp3" });
    EXPECT_EQ(child<QLineEdit>(*form, "SkipCount")->text(), "1");
    EXPECT_EQ(prompter.calls.last().kind, ScriptedPrompter::Kind::Message);
    bool chose = false;
    for (const auto& call : prompter.calls)
        chose = chose || (call.kind == ScriptedPrompter::Kind::File && call.defaultText == logFolder);
    EXPECT_TRUE(chose);
}
