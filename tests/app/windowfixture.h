#pragma once

#include "app/ui/velmora.h"
#include "massrename/ui/fileexistsform.h"
#include "nameedit/nameeditsession.h"
#include "settings/preferences.h"
#include "support/mp3builder.h"
#include "support/platformdoubles.h"
#include "support/qttesthelpers.h"
#include "tagedit/ui/filetable.h"
#include "tagedit/ui/tagpanel.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

// The real main window over a temporary folder of generated MP3 files, with
// a scripted prompter, an in-memory settings store and a test trash.
class WindowTest : public ::testing::Test, protected PlatformDoubles {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QStringLiteral("/music");
        ASSERT_TRUE(QDir().mkpath(folder));
        trash.folder = dir.path() + QStringLiteral("/trash");
    }

    QString path(const QString& name) const { return folder + QLatin1Char('/') + name; }

    bool exists(const QString& name) const { return QFileInfo::exists(path(name)); }
    QByteArray bytes(const QString& name) const { return Mp3Builder::readFile(path(name)); }
    std::unique_ptr<ID3V2Tag> tagOf(const QString& name) const
    {
        auto tag = std::make_unique<ID3V2Tag>();
        tag->setFileName(path(name));
        return tag;
    }
    ID3V1Tag trailerOf(const QString& name) const
    {
        ID3V1Tag v1;
        EXPECT_TRUE(v1.readFromFile(path(name))) << name.toStdString();
        return v1;
    }

    void addMp3(const QString& name, int frames = 8, bool copyright = false)
    {
        ASSERT_TRUE(Mp3Builder::writePlainMp3(path(name), frames, copyright));
    }
    void addMp3s(const QStringList& names)
    {
        for (const QString& name : names)
            addMp3(name);
    }

    void addTagged(const QString& name, const QString& artist, const QString& title, int frames = 8)
    {
        addMp3(name, frames);
        ID3V2Tag tag;
        tag.setFileName(path(name));
        tag.setArtist(artist);
        tag.setTitle(title);
        ASSERT_TRUE(tag.update());
    }

    // Starts the window on the test folder (unless "Last Path" is seeded).
    Velmora& open()
    {
        if (!settings.has(QStringLiteral("Settings"), QStringLiteral("Last Path")))
            settings.values[QStringLiteral("Settings")][QStringLiteral("Last Path")] = folder + QLatin1Char('/');
        window.reset(); // the old window goes first, as on a real restart
        window = std::make_unique<Velmora>(services, prefs, helpFile);
        return *window;
    }

    template <typename T> T* child(const QString& name) const
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    QTableView* fileList() const { return child<QTableView>(QStringLiteral("FileList")); }
    FileTable& table() const { return window->fileTable(); }
    QString currentName() const { return table().currentRow() < 0 ? QString() : table().nameAt(table().currentRow()); }
    QLineEdit* newName() const { return child<QLineEdit>(QStringLiteral("NewName")); }
    QString newNameText() const { return newName()->text(); }
    QString oldName() const { return child<QLineEdit>(QStringLiteral("OldName"))->text(); }
    QStringList listed() const
    {
        QStringList names;
        for (int row = 0; row < table().count(); ++row)
            names << table().nameAt(row);
        return names;
    }
    QListWidget* formatList() const { return child<QListWidget>(QStringLiteral("FormatList")); }
    void renameTo(const QString& name)
    {
        window->session().editor().setText(name);
        window->renameFile();
    }

    // Selects the file's entry as the keyboard does, and lets what the
    // selection started (a question about a zero-length file) run.
    void select(const QString& name)
    {
        const int row = table().rowOfName(name);
        ASSERT_GE(row, 0) << name.toStdString();
        fileList()->setCurrentIndex(table().model().index(row, 0));
        QApplication::processEvents();
    }

    QString box(FieldId id) const { return window->tagPanel().text(id); }
    void setBox(FieldId id, const QString& text) { window->tagPanel().setText(id, text); }

    static void press(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(target, &event);
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(target, &release);
    }

    // A left click at the point, as the mouse delivers it: press, then release.
    static void clickAt(QWidget* target, QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPoint global = target->mapToGlobal(at);
        QMouseEvent down(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, mods);
        QApplication::sendEvent(target, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, mods);
        QApplication::sendEvent(target, &up);
    }

    // Answers the next FileExistsForm with the named button.
    static void answerFileExists(const QString& button, int tries = 50)
    {
        QTimer::singleShot(10, [button, tries] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* form = qobject_cast<FileExistsForm*>(w);
                if (form && form->isVisible()) {
                    form->findChild<QPushButton*>(button)->click();
                    return;
                }
            }
            if (tries > 0)
                answerFileExists(button, tries - 1);
        });
    }

    QTemporaryDir dir;
    QString folder;
    QString helpFile = QStringLiteral("/opt/velmora/velmora.html");
    Preferences prefs { settings };
    std::unique_ptr<Velmora> window;
};
