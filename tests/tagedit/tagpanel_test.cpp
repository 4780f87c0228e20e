#include "tagedit/panelgenrelist.h"
#include "tagedit/ui/tagpanel.h"
#include "tagedit/ui/tagpanelbuilder.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A window with a tag panel bound to a TagPanel that records every step.
struct Panel {
    QWidget window;
    TagPanelWidgets widgets;
    TagPanel area;
    QStringList steps;

    Panel()
    {
        auto* layout = new QVBoxLayout(&window);
        widgets = buildTagPanel(&window);
        layout->addWidget(widgets.area);
        window.resize(400, 200);
        area.setStepSink([this](const QString& s) { steps << s; });
        EXPECT_TRUE(area.initBoxes(&window)) << "every box bound";
    }

    QLineEdit* edit(FieldId id) { return qobject_cast<QLineEdit*>(area.box(id)); }
    QComboBox* genre() { return qobject_cast<QComboBox*>(area.box(FieldId::Genre)); }
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
        typeKey(w, c == '+' ? int(Qt::Key_Plus) : Qt::Key_A + (c.toUpper().unicode() - 'A'), QString(c));
}

} // namespace

TEST(PanelGenreList, CompletesByPrefixWithoutRegardToCase)
{
    const QStringList& list = panelGenreList();
    EXPECT_EQ(list[findGenreCompletion(list, "ROC")], "Rock");
    EXPECT_EQ(list[findGenreCompletion(list, "r")], "R&B");
    EXPECT_EQ(findGenreCompletion(list, ""), 0);
    EXPECT_EQ(findGenreCompletion(list, "Rockabilly"), -1);
}

TEST(TagPanel, RefusesAFixedGenreList)
{
    QWidget full;
    TagPanelWidgets w = buildTagPanel(&full);
    qobject_cast<QComboBox*>(w.boxes[int(FieldId::Genre)])->setEditable(false);
    TagPanel panel;
    EXPECT_FALSE(panel.initBoxes(&full));
}

TEST(TagPanel, RecordsOneStepPerChangeWithTheWholeUntrimmedText)
{
    Panel p;
    typeText(p.edit(FieldId::Artist), "ab");
    p.area.setText(FieldId::Album, "  Best Of ");
    p.area.setText(FieldId::Genre, "Ro"); // set by code: not completed
    EXPECT_EQ(p.steps, QStringList({ "Artist:a", "Artist:ab", "Album:  Best Of ", "Genre:Ro" }));
}

TEST(TagPanel, CopyrightSelectsOnlyItsTwoEntriesAndClearingResetsItToFalse)
{
    Panel p;
    p.area.setText(FieldId::Title, "Song");
    p.area.clearBox(int(FieldId::Title));
    EXPECT_EQ(p.area.text(FieldId::Title), "");
    p.area.clearBox(int(FieldId::CopyRight));
    p.area.setText(FieldId::CopyRight, "true"); // not an entry as spelt
    EXPECT_EQ(p.area.text(FieldId::CopyRight), "False");
    EXPECT_EQ(p.steps, QStringList({ "Title:Song", "Title:", "Copyright:False" }));
}

TEST(TagPanel, TypedGenreIsCompletedWithTheRestSelected)
{
    const struct {
        const char* typed;
        const char* text;
        const char* selected;
    } cases[] = {
        { "roc", "Rock", "k" }, { "jazz+", "Jazz+Funk", "Funk" }, // each typed letter replaces the completed rest
        { "zq", "zq", "" }, // no entry starts so: stays as typed
    };
    for (const auto& c : cases) {
        Panel p;
        typeText(p.genre(), c.typed);
        EXPECT_EQ(p.genre()->currentText(), c.text) << c.typed;
        EXPECT_EQ(p.genre()->lineEdit()->selectedText(), c.selected) << c.typed;
        typeKey(p.genre(), Qt::Key_Return, "\r");
        EXPECT_EQ(p.genre()->count(), panelGenreList().size()) << "typed text never becomes a list entry";
    }
}

TEST(TagPanel, BackspaceIsNeverCompletedButEmptyingWithDeleteCompletesToUnknown)
{
    Panel p;
    typeText(p.genre(), "r");
    typeKey(p.genre(), Qt::Key_Backspace); // removes the selected "&B"
    EXPECT_TRUE(p.area.genreBackspace());
    EXPECT_EQ(p.genre()->currentText(), "R");
    typeKey(p.genre(), Qt::Key_Backspace);
    EXPECT_EQ(p.genre()->currentText(), "");
    EXPECT_EQ(p.steps.last(), "Genre:");
    typeText(p.genre(), "r");
    p.genre()->lineEdit()->selectAll();
    typeKey(p.genre(), Qt::Key_Delete);
    EXPECT_FALSE(p.area.genreBackspace());
    EXPECT_EQ(p.genre()->currentText(), "Unknown");
    EXPECT_EQ(p.genre()->lineEdit()->selectedText(), "Unknown");
}

TEST(TagPanel, ScrollValueKeepsTheBoxBelowTheTopWithinRange)
{
    // Boxes 67 and 333 pixels down the panel, and one past its range.
    EXPECT_EQ(TagPanel::scrollValueForBox(67, 320), 0);
    EXPECT_EQ(TagPanel::scrollValueForBox(333, 320), 190);
    EXPECT_EQ(TagPanel::scrollValueForBox(480, 320), 320);
    EXPECT_EQ(TagPanel::scrollValueForBox(143, 320), 0);
}

TEST(TagPanel, KeyboardFocusScrollsTheBoxIntoViewAndAMouseClickDoesNot)
{
    Panel p;
    p.window.show();
    QScrollBar* bar = p.widgets.area->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0) << "the panel must be taller than its clip";
    QLineEdit* tempo = p.edit(FieldId::Tempo);
    QFocusEvent byMouse(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(tempo, &byMouse);
    EXPECT_EQ(bar->value(), 0);
    const int top = tempo->mapTo(p.widgets.inner, QPoint(0, 0)).y();
    QFocusEvent byTab(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(tempo, &byTab);
    EXPECT_EQ(bar->value(), TagPanel::scrollValueForBox(top, bar->maximum()));
    EXPECT_GT(bar->value(), 0);
}

TEST(TagPanel, ADroppedPartReplacesTheWholeTextAndRebuildsTheParts)
{
    Panel p;
    p.window.show();
    bool dragging = true;
    int rebuilds = 0;
    p.area.setPartDrop({ [&] { return dragging; }, [] { return QStringLiteral("Part"); }, [&] { dragging = false; },
        [&] { ++rebuilds; } });
    EXPECT_FALSE(p.area.dropPartOnBox(int(FieldId::CopyRight))) << "never on the copyright box";
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
    EXPECT_FALSE(p.area.dropPartOnBox(int(FieldId::Album))) << "no drag in progress";
}
