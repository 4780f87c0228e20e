// The dialogs opened from the main window's menus and toolbar, the part
// drop onto a tag box and the box-wide property setter.
#include "windowfixture.h"

#include <QDialog>
#include <QProgressBar>

namespace {

// Closes the next modal dialog that appears and remembers its object name.
void closeNextDialog(QString* name, int tries = 100)
{
    QTimer::singleShot(10, [name, tries] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            *name = dialog->objectName();
            dialog->reject();
            return;
        }
        if (tries > 0)
            closeNextDialog(name, tries - 1);
    });
}

} // namespace

TEST_F(WindowTest, MenusOpenTheirDialogsAndOptionsKeepsTheCurrentMask)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    window->show();
    select(QStringLiteral("a.mp3"));
    // The file information report comes from the file list's double click.
    emit table().activated(0);
    ASSERT_EQ(prompter.calls.size(), 1);
    formatList()->setCurrentRow(3);
    const std::pair<const char*, const char*> entries[] = {
        { "Options", "OptionsForm" },
        { "mnuMassRename", "MassRenameForm" },
        { "mnuMultiTagger", "MultiTagger" },
        { "mnuFilters", "FilterForm" },
        { "mnuCreatePlaylist2", "PLayListForm" },
    };
    for (const auto& [entry, dialog] : entries) {
        QString shown;
        closeNextDialog(&shown);
        window->action(QLatin1String(entry))->trigger();
        EXPECT_EQ(shown, QLatin1String(dialog)) << entry;
    }
    EXPECT_EQ(formatList()->currentRow(), 3);
}

TEST_F(WindowTest, DraggedPartDropsOntoATagBox)
{
    addMp3(QStringLiteral("alpha-beta.mp3"));
    open();
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    select(QStringLiteral("alpha-beta.mp3"));
    auto* parts = child<QListWidget>(QStringLiteral("PartsList"));
    emit parts->itemPressed(parts->findItems(QStringLiteral("Beta"), Qt::MatchExactly).first());
    window->session().parts().setPartDragging(true);
    EXPECT_TRUE(window->tagPanel().dropPartOnBox(int(FieldId::Album)));
    EXPECT_EQ(box(FieldId::Album), QStringLiteral("Beta"));
    EXPECT_FALSE(window->session().parts().partDragging());
}

TEST_F(WindowTest, SetAllBoxPropsReachesEveryTagBoxButNoLabel)
{
    open();
    window->setAllBoxProps(QStringLiteral("Width"), 222);
    for (int i = 0; i < kFieldCount; ++i)
        EXPECT_EQ(child<QWidget>(QLatin1String(fieldInfo(i).boxName))->minimumWidth(), 222) << i;
    EXPECT_NE(child<QWidget>(QStringLiteral("ID3Label0"))->minimumWidth(), 222);
}

TEST_F(WindowTest, TheMassRenameProgressBarCountsNothingBeforeARun)
{
    addMp3s({ QStringLiteral("a one.mp3"), QStringLiteral("b two.mp3") });
    open();
    window->show();
    bool before = true;
    QString after;
    QTimer::singleShot(10, [&before, &after] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto* bar = dialog->findChild<QProgressBar*>(QStringLiteral("RunProgress"));
        before = bar->isTextVisible();
        dialog->findChild<QPushButton*>(QStringLiteral("PreviewButton"))->click();
        after = bar->isTextVisible() ? bar->text() : QString();
        dialog->reject();
    });
    window->action(QStringLiteral("mnuMassRename"))->trigger();
    EXPECT_FALSE(before);
    EXPECT_EQ(after, QStringLiteral("2 / 2"));
}
