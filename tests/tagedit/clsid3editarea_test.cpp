#include "tagedit/panelgenrelist.h"
#include "tagedit/ui/clsid3editarea.h"
#include "tagedit/ui/tagpanelbuilder.h"

#include <QApplication>
#include <QComboBox>
#include <QMimeData>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A window with a tag panel bound to a clsID3EditArea that records every step.
struct Panel {
    QWidget window;
    TagPanelWidgets widgets;
    clsID3EditArea area;
    QStringList steps;

    Panel()
    {
        auto* layout = new QVBoxLayout(&window);
        widgets = BuildTagPanel(&window);
        layout->addWidget(widgets.area);
        window.resize(400, 200);
        area.setStepSink([this](const QString& s) { steps << s; });
        bound = area.InitBoxes(&window);
    }

    QLineEdit* edit(FieldId id) { return qobject_cast<QLineEdit*>(area.Box(id)); }
    QComboBox* genre() { return qobject_cast<QComboBox*>(area.Box(FieldId::Genre)); }
    QComboBox* copyright() { return qobject_cast<QComboBox*>(area.Box(FieldId::CopyRight)); }

    bool bound = false;
};

void typeKey(QWidget* w, int key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

void typeText(QWidget* w, const QString& text)
{
    for (QChar c : text)
        typeKey(w, Qt::Key_A + (c.toUpper().unicode() - 'A'), QString(c));
}

} // namespace

TEST(PanelGenreList, Has116EntriesFromUnknownToFolkloreWithoutGenre84)
{
    const QStringList& list = PanelGenreList();
    ASSERT_EQ(list.size(), 116);
    EXPECT_EQ(list.first(), "Unknown");
    EXPECT_EQ(list[1], "Blues");
    EXPECT_EQ(list.last(), "Folklore");
    const int swing = int(list.indexOf("Swing"));
    EXPECT_EQ(list[swing + 1], "Bebob");
}

TEST(FindGenreCompletion, MatchesFirstEntryByCaseInsensitivePrefix)
{
    const QStringList& list = PanelGenreList();
    EXPECT_EQ(list[FindGenreCompletion(list, "roc")], "Rock");
    EXPECT_EQ(list[FindGenreCompletion(list, "r")], "R&B");
    EXPECT_EQ(FindGenreCompletion(list, ""), 0);
    EXPECT_EQ(FindGenreCompletion(list, "Rockabilly"), -1);
    EXPECT_EQ(list[FindGenreCompletion(list, "ROCK")], "Rock");
}

TEST(clsID3EditArea, BindsTheTwentyBoxesAndFillsTheLists)
{
    Panel p;
    ASSERT_TRUE(p.bound);
    for (int i = 0; i < kFieldCount; ++i)
        EXPECT_EQ(p.area.Box(i)->objectName(), QLatin1String(fieldInfo(i).boxName));
    EXPECT_EQ(p.genre()->count(), 116);
    EXPECT_EQ(p.genre()->itemText(0), "Unknown");
    EXPECT_EQ(p.genre()->currentText(), "");
    ASSERT_EQ(p.copyright()->count(), 2);
    EXPECT_EQ(p.copyright()->itemText(0), "False");
    EXPECT_EQ(p.copyright()->itemText(1), "True");
    EXPECT_EQ(p.area.Text(FieldId::CopyRight), "True");
    EXPECT_TRUE(p.steps.isEmpty()) << "binding is no edit";
}

TEST(clsID3EditArea, RefusesAWindowWithoutAllBoxes)
{
    QWidget window;
    auto* area = new QScrollArea(&window);
    auto* inner = new QWidget;
    auto* artist = new QLineEdit(inner);
    artist->setObjectName("ID3Artist");
    area->setWidget(inner);
    clsID3EditArea panel;
    EXPECT_FALSE(panel.InitBoxes(&window));
    EXPECT_FALSE(panel.isBound());
    EXPECT_EQ(panel.Box(0), nullptr);
}

TEST(clsID3EditArea, RefusesAGenreBoxThatIsNotEditable)
{
    QWidget window;
    TagPanelWidgets w = BuildTagPanel(&window);
    qobject_cast<QComboBox*>(w.boxes[int(FieldId::Genre)])->setEditable(false);
    clsID3EditArea panel;
    EXPECT_FALSE(panel.InitBoxes(&window));
}

TEST(clsID3EditArea, TypingRecordsOneStepPerChangeWithTheWholeText)
{
    Panel p;
    typeText(p.edit(FieldId::Artist), "ab");
    EXPECT_EQ(p.steps, QStringList({"Artist:a", "Artist:ab"}));
}

TEST(clsID3EditArea, ChangesByCodeRecordUntrimmedText)
{
    Panel p;
    p.area.SetText(FieldId::Album, "  Best Of ");
    p.area.SetText(FieldId::TotalTracks, "12");
    p.area.SetText(FieldId::OrigArtist, "x");
    EXPECT_EQ(p.steps, QStringList({"Album:  Best Of ", "Total Tracks:12", "Orig Artist:x"}));
}

TEST(clsID3EditArea, CopyrightSelectsOnlyItsTwoEntries)
{
    Panel p;
    p.area.SetText(FieldId::CopyRight, "False");
    EXPECT_EQ(p.area.Text(FieldId::CopyRight), "False");
    p.area.SetText(FieldId::CopyRight, "");
    p.area.SetText(FieldId::CopyRight, "true");
    EXPECT_EQ(p.area.Text(FieldId::CopyRight), "False");
    EXPECT_EQ(p.steps, QStringList({"Copyright:False"}));
}

TEST(clsID3EditArea, ClearButtonEmptiesABoxAndResetsCopyrightToFalse)
{
    Panel p;
    p.area.SetText(FieldId::Title, "Song");
    p.area.ClearBox(int(FieldId::Title));
    EXPECT_EQ(p.area.Text(FieldId::Title), "");
    p.area.ClearBox(int(FieldId::CopyRight));
    EXPECT_EQ(p.area.Text(FieldId::CopyRight), "False");
    EXPECT_EQ(p.steps, QStringList({"Title:Song", "Title:", "Copyright:False"}));
}

TEST(clsID3EditArea, TypedGenreIsCompletedWithTheRestSelected)
{
    Panel p;
    typeText(p.genre(), "roc");
    QLineEdit* edit = p.genre()->lineEdit();
    EXPECT_EQ(edit->text(), "Rock");
    EXPECT_EQ(edit->selectedText(), "k");
    EXPECT_EQ(edit->cursorPosition(), 3);
    EXPECT_EQ(p.steps, QStringList({"Genre:R&B", "Genre:Rock", "Genre:Rock"}));
}

TEST(clsID3EditArea, SingleLetterCompletesToTheFirstMatchingEntry)
{
    Panel p;
    typeText(p.genre(), "r");
    EXPECT_EQ(p.genre()->currentText(), "R&B");
    EXPECT_EQ(p.genre()->lineEdit()->selectedText(), "&B");
}

TEST(clsID3EditArea, NextTypedLetterReplacesTheCompletedRest)
{
    Panel p;
    typeText(p.genre(), "ja");
    EXPECT_EQ(p.genre()->currentText(), "Jazz");
    typeText(p.genre(), "zz");
    EXPECT_EQ(p.genre()->currentText(), "Jazz");
    typeKey(p.genre(), Qt::Key_Plus, "+");
    EXPECT_EQ(p.genre()->currentText(), "Jazz+Funk");
    EXPECT_EQ(p.genre()->lineEdit()->selectedText(), "Funk");
}

TEST(clsID3EditArea, BackspaceIsNeverCompleted)
{
    Panel p;
    typeText(p.genre(), "r");
    ASSERT_EQ(p.genre()->currentText(), "R&B");
    typeKey(p.genre(), Qt::Key_Backspace); // removes the selected "&B"
    EXPECT_TRUE(p.area.GenreBackspace());
    EXPECT_EQ(p.genre()->currentText(), "R");
    typeKey(p.genre(), Qt::Key_Backspace);
    EXPECT_EQ(p.genre()->currentText(), "");
    EXPECT_EQ(p.steps.last(), "Genre:");
}

TEST(clsID3EditArea, EmptyingWithDeleteCompletesToUnknown)
{
    Panel p;
    typeText(p.genre(), "r");
    p.genre()->lineEdit()->selectAll();
    typeKey(p.genre(), Qt::Key_Delete);
    EXPECT_FALSE(p.area.GenreBackspace());
    EXPECT_EQ(p.genre()->currentText(), "Unknown");
    EXPECT_EQ(p.genre()->lineEdit()->selectedText(), "Unknown");
}

TEST(clsID3EditArea, TextNoEntryStartsWithStaysAsTyped)
{
    Panel p;
    typeText(p.genre(), "zq");
    EXPECT_EQ(p.genre()->currentText(), "zq");
    EXPECT_EQ(p.steps, QStringList({"Genre:z", "Genre:zq"}));
}

TEST(clsID3EditArea, GenreSetByCodeIsNotCompleted)
{
    Panel p;
    p.area.SetText(FieldId::Genre, "Ro");
    EXPECT_EQ(p.area.Text(FieldId::Genre), "Ro");
    p.area.SetText(FieldId::Genre, "");
    EXPECT_EQ(p.area.Text(FieldId::Genre), "");
    EXPECT_EQ(p.steps, QStringList({"Genre:Ro", "Genre:"}));
}

TEST(clsID3EditArea, TypedGenreNeverBecomesAListEntry)
{
    Panel p;
    typeText(p.genre(), "zq");
    typeKey(p.genre(), Qt::Key_Return, "\r");
    EXPECT_EQ(p.genre()->count(), 116);
}

TEST(clsID3EditArea, ScrollValueKeepsTheBoxBelowTheTopWithinRange)
{
    // 1000 twips is 67 pixels, 5000 twips 333 pixels.
    EXPECT_EQ(clsID3EditArea::ScrollValueForBox(67, 320), 0);
    EXPECT_EQ(clsID3EditArea::ScrollValueForBox(333, 320), 190);
    EXPECT_EQ(clsID3EditArea::ScrollValueForBox(480, 320), 320);
    EXPECT_EQ(clsID3EditArea::ScrollValueForBox(143, 320), 0);
}

TEST(clsID3EditArea, KeyboardFocusScrollsTheBoxIntoViewAndAMouseClickDoesNot)
{
    Panel p;
    p.window.show();
    QScrollBar* bar = p.widgets.area->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0) << "the panel must be taller than its clip";

    QLineEdit* tempo = p.edit(FieldId::Tempo);
    const int top = tempo->mapTo(p.widgets.inner, QPoint(0, 0)).y();
    QFocusEvent byTab(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(tempo, &byTab);
    EXPECT_EQ(bar->value(), clsID3EditArea::ScrollValueForBox(top, bar->maximum()));
    EXPECT_GT(bar->value(), 0);

    bar->setValue(0);
    QFocusEvent byMouse(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(tempo, &byMouse);
    EXPECT_EQ(bar->value(), 0);

    bar->setValue(bar->maximum());
    QFocusEvent toArtist(QEvent::FocusIn, Qt::BacktabFocusReason);
    QApplication::sendEvent(p.edit(FieldId::Artist), &toArtist);
    EXPECT_EQ(bar->value(), 0);
}

TEST(clsID3EditArea, DroppedPartReplacesTheTextAndRebuildsTheParts)
{
    Panel p;
    bool dragging = true;
    int rebuilds = 0;
    p.area.setPartDrop({[&] { return dragging; }, [] { return QStringLiteral("Abbey Road"); },
                        [&] { dragging = false; }, [&] { ++rebuilds; }});
    p.area.SetText(FieldId::Album, "Old");
    EXPECT_TRUE(p.area.DropPartOnBox(int(FieldId::Album)));
    EXPECT_EQ(p.area.Text(FieldId::Album), "Abbey Road");
    EXPECT_FALSE(dragging);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(p.steps.last(), "Album:Abbey Road");

    // No drag in progress: nothing happens.
    EXPECT_FALSE(p.area.DropPartOnBox(int(FieldId::Title)));
    EXPECT_EQ(p.area.Text(FieldId::Title), "");
    EXPECT_EQ(rebuilds, 1);
}

TEST(clsID3EditArea, DropEventOfADraggedPartReplacesTheWholeText)
{
    Panel p;
    p.window.show();
    bool dragging = true;
    int rebuilds = 0;
    p.area.setPartDrop({[&] { return dragging; }, [] { return QStringLiteral("Part"); }, [&] { dragging = false; },
                        [&] { ++rebuilds; }});
    QLineEdit* title = p.edit(FieldId::Title);
    title->setText("Old Title");
    QMimeData mime;
    mime.setText("Part");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(title, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(title, &drop);
    EXPECT_EQ(title->text(), "Part");
    EXPECT_FALSE(dragging);
    EXPECT_EQ(rebuilds, 1);
}

TEST(clsID3EditArea, PartsAreNeverDroppedOnCopyright)
{
    Panel p;
    int rebuilds = 0;
    p.area.setPartDrop({[] { return true; }, [] { return QStringLiteral("False"); }, [] {}, [&] { ++rebuilds; }});
    EXPECT_FALSE(p.area.DropPartOnBox(int(FieldId::CopyRight)));
    EXPECT_EQ(p.area.Text(FieldId::CopyRight), "True");
    EXPECT_EQ(rebuilds, 0);
}

TEST(clsID3EditArea, WithoutAPartDropNothingIsDropped)
{
    Panel p; // as in the MultiTagger
    EXPECT_FALSE(p.area.DropPartOnBox(int(FieldId::Artist)));
    EXPECT_EQ(p.area.Text(FieldId::Artist), "");
}

TEST(TagBoxToolTip, NamesTheFieldAndSpellsOutOriginalArtist)
{
    EXPECT_EQ(TagBoxToolTip(0), "Value Of The Artist ID3 Field");
    EXPECT_EQ(TagBoxToolTip(int(FieldId::OrigArtist)), "Value Of The Original Artist ID3 Field");
    EXPECT_EQ(TagBoxToolTip(int(FieldId::CopyRight)), "Value Of The Copyright ID3 Field");
}
