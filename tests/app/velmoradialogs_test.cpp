// The dialogs opened from the main window's menus and toolbar, the part
// drop onto a tag box and the box-wide property setter.
#include "windowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>

namespace {

// Closes the next modal dialog that appears and remembers its class name.
void closeNextDialog(QString* className, int tries = 100)
{
    QTimer::singleShot(10, [className, tries] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            *className = QString::fromLatin1(dialog->metaObject()->className());
            dialog->reject();
            return;
        }
        if (tries > 0)
            closeNextDialog(className, tries - 1);
    });
}

} // namespace

TEST_F(WindowTest, MenusOpenTheirDialogs)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->show();
    select(QStringLiteral("a.mp3"));
    const QList<QPair<const char*, const char*>> entries = {
        {"mnuMassRename", "MassRenameForm"}, {"mnuMultiTagger", "MultiTagger"}, {"mnuOptions", "OptionsForm"},
        {"mnuFilters", "FilterForm"},        {"mnuCreatePlaylist2", "PLayListForm"},
    };
    for (const auto& [entry, dialog] : entries) {
        QString shown;
        closeNextDialog(&shown);
        window->action(QLatin1String(entry))->trigger();
        EXPECT_EQ(shown, QLatin1String(dialog)) << entry;
        EXPECT_EQ(window->statusText(), QStringLiteral("Ready")) << entry;
    }
}

TEST_F(WindowTest, OptionsDialogReselectsTheMaskThatWasCurrent)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->show();
    select(QStringLiteral("a.mp3"));
    child<QListWidget>(QStringLiteral("FormatList"))->setCurrentRow(3);
    QString shown;
    closeNextDialog(&shown);
    window->action(QStringLiteral("Options"))->trigger();
    EXPECT_EQ(shown, QStringLiteral("OptionsForm"));
    EXPECT_EQ(window->session().formats().currentIndex(), 3);
    EXPECT_EQ(child<QListWidget>(QStringLiteral("FormatList"))->currentRow(), 3);
}

TEST_F(WindowTest, FileInformationReportComesFromTheFileListDoubleClick)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    select(QStringLiteral("a.mp3"));
    emit fileList()->itemDoubleClicked(fileList()->item(0));
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].title, QStringLiteral("Velmora - File Information"));
    EXPECT_TRUE(prompter.calls[0].text.contains(QStringLiteral("a.mp3")));
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
    EXPECT_TRUE(window->tagPanel().DropPartOnBox(int(FieldId::Album)));
    EXPECT_EQ(box(FieldId::Album), QStringLiteral("Beta"));
    EXPECT_FALSE(window->session().parts().PartDragging());
    // Without a drag in progress nothing is dropped.
    EXPECT_FALSE(window->tagPanel().DropPartOnBox(int(FieldId::Title)));
    EXPECT_EQ(box(FieldId::Title), QString());
}

TEST_F(WindowTest, SetAllBoxPropsReachesEveryTagBox)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    select(QStringLiteral("a.mp3"));
    window->SetAllBoxProps(QStringLiteral("Enabled"), false);
    for (int i = 0; i < kFieldCount; ++i)
        EXPECT_FALSE(child<QWidget>(QLatin1String(fieldInfo(i).boxName))->isEnabled()) << i;
    window->SetAllBoxProps(QStringLiteral("Enabled"), true);
    window->SetAllBoxProps(QStringLiteral("Width"), 222);
    window->SetAllBoxProps(QStringLiteral("Text"), QString());
    for (int i = 0; i < kFieldCount; ++i) {
        QWidget* w = child<QWidget>(QLatin1String(fieldInfo(i).boxName));
        EXPECT_TRUE(w->isEnabled()) << i;
        EXPECT_EQ(w->minimumWidth(), 222) << i;
        if (FieldId(i) != FieldId::CopyRight) {
            EXPECT_EQ(box(FieldId(i)), QString()) << i;
        }
    }
    // Labels are not boxes.
    EXPECT_NE(child<QWidget>(QStringLiteral("ID3Label0"))->minimumWidth(), 222);
}

TEST_F(WindowTest, RecordEditingShowsItsState)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    select(QStringLiteral("a.mp3"));
    auto* record = child<QCheckBox>(QStringLiteral("RecordEditing"));
    EXPECT_EQ(record->text(), QStringLiteral("Not Recording"));
    EXPECT_EQ(record->toolTip(), QStringLiteral("Not Recording Edit Steps, Click To Start Recording"));
    EXPECT_EQ(record->palette().color(QPalette::WindowText), QColor(64, 64, 64));
    record->setChecked(true);
    EXPECT_EQ(record->text(), QStringLiteral("Recording Edits"));
    EXPECT_EQ(record->toolTip(), QStringLiteral("Recording Edit Steps, Click To Finish Recording"));
    EXPECT_EQ(record->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(child<QLabel>(QStringLiteral("EditRecorded"))->isHidden());
    record->setChecked(false);
    // Nothing was recorded: the indicator stays hidden.
    EXPECT_TRUE(child<QLabel>(QStringLiteral("EditRecorded"))->isHidden());
}

TEST_F(WindowTest, OverwritePromptShowsTheFactsOfBothFiles)
{
    addMp3(QStringLiteral("a.mp3"), 8);
    addMp3(QStringLiteral("b.mp3"), 12);
    open();
    select(QStringLiteral("a.mp3"));
    window->session().editor().setText(QStringLiteral("b.mp3"));
    QStringList seen;
    QTimer::singleShot(10, [&seen] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* form = qobject_cast<FileExistsForm*>(w);
            if (form && form->isVisible()) {
                seen << form->findChild<QLabel*>(QStringLiteral("CurrentPath"))->text();
                for (int i = 0; i < 2; ++i)
                    seen << form->existingLabel(i)->text() << form->renamedLabel(i)->text();
                seen << form->existingLabel(4)->text();
                form->findChild<QPushButton*>(QStringLiteral("SkipFile"))->click();
            }
        }
    });
    window->RenameFile();
    ASSERT_EQ(seen.size(), 6);
    EXPECT_EQ(seen[0], folder + QLatin1Char('/'));
    EXPECT_EQ(seen[1], QStringLiteral("b.mp3"));
    EXPECT_EQ(seen[2], QStringLiteral("a.mp3"));
    EXPECT_TRUE(seen[3].startsWith(QStringLiteral("4.89KB"))) << seen[3].toStdString(); // 12 frames of 417 bytes
    EXPECT_TRUE(seen[4].startsWith(QStringLiteral("3.38KB"))) << seen[4].toStdString(); // 8 frames + trailer
    EXPECT_FALSE(seen[5].isEmpty());
}
