// The real message boxes: Enter answers what the question prefers, and a
// question whose Yes cannot be taken back lightly prefers No.
#include "platform/ui/qtprompter.h"
#include "support/qttesthelpers.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct Seen {
    bool shown = false;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
};

// Presses key on the next message box once it shows, and notes its buttons.
void pressOnNextBox(int key, Seen* seen, int tries = 100)
{
    QTimer::singleShot(10, [key, seen, tries] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (tries > 0)
                pressOnNextBox(key, seen, tries - 1);
            return;
        }
        seen->shown = true;
        seen->defaultButton = box->standardButton(box->defaultButton());
        seen->escapeButton = box->standardButton(qobject_cast<QPushButton*>(box->escapeButton()));
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
    });
}

} // namespace

TEST(QtPrompter, EnterAndEscapeAnswerNoWhereNoIsPreferred)
{
    QtPrompter prompter;
    const struct {
        const char* name;
        MsgButtons buttons;
        int key;
        Answer answer;
        QMessageBox::StandardButton defaultButton;
    } cases[] = {
        { "default no, enter", MsgButtons::YesNoDefaultNo, Qt::Key_Return, Answer::No, QMessageBox::No },
        { "default no, escape", MsgButtons::YesNoDefaultNo, Qt::Key_Escape, Answer::No, QMessageBox::No },
        // Qt's own choice: no button set, Enter takes the accepting one.
        { "plain, enter", MsgButtons::YesNo, Qt::Key_Return, Answer::Yes, QMessageBox::NoButton },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Seen seen;
        pressOnNextBox(c.key, &seen);
        EXPECT_EQ(prompter.message(QStringLiteral("Velmora"), QStringLiteral("Sure?"), MsgIcon::Question, c.buttons),
            c.answer);
        EXPECT_TRUE(seen.shown);
        EXPECT_EQ(seen.defaultButton, c.defaultButton);
    }
    Seen seen;
    pressOnNextBox(Qt::Key_Return, &seen);
    EXPECT_FALSE(prompter.askYesNo(QStringLiteral("Velmora"), QStringLiteral("Sure?"), MsgIcon::Critical, Answer::No));
    EXPECT_EQ(seen.defaultButton, QMessageBox::No);
    EXPECT_EQ(seen.escapeButton, QMessageBox::No);
}

// The save picker starts at the suggested name and gives back the one chosen.
TEST(QtPrompter, TheSavePickerSuggestsANameAndGivesBackTheChosenOne)
{
    QTemporaryDir dir;
    QtPrompter prompter;
    QString suggested;
    const auto answer = [&](bool accept) {
        QTimer::singleShot(10, [&, accept] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            // The name field and folder as the user sees them (what the
            // dialog selects may change while it lists the folder).
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            suggested = dialog->directory().filePath(name->text());
            if (!accept) {
                dialog->reject();
                return;
            }
            // Typed, as a user does: selectFile leaves a focused name field as it is.
            name->setText(QStringLiteral("chosen.jpg"));
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog keeps its accept() protected
        });
    };
    answer(true);
    EXPECT_EQ(prompter.chooseSaveFile(
                  QStringLiteral("Extract"), dir.filePath("Front Cover.jpg"), QStringLiteral("Images (*.jpg)")),
        dir.filePath("chosen.jpg"));
    EXPECT_EQ(suggested, dir.filePath("Front Cover.jpg"));
    answer(false);
    EXPECT_EQ(prompter.chooseSaveFile(QStringLiteral("Extract"), dir.path(), QString()), QString());
}
