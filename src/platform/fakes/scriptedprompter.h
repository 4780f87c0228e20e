#pragma once

#include "platform/prompter.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// Records every prompt with its exact texts and answers from scripts. An
// unscripted question answers Cancel (No for yes/no); an unscripted input
// box, folder picker or file chooser (open or save) answers "".
class ScriptedPrompter final : public Prompter {
public:
    enum class Kind { Message, Input, Folder, File, SaveFile, Beep };
    struct Call {
        Kind kind;
        QString title;
        QString text; // message text, input prompt or picker title
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons = MsgButtons::Ok; // YesNoDefaultNo: No is the default button
        QString defaultText; // input default, picker start folder or suggested save path
    };

    Answer message(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons) override
    {
        calls.append({ Kind::Message, title, text, icon, buttons, {} });
        if (!answers.isEmpty())
            return answers.dequeue();
        switch (buttons) {
        case MsgButtons::Ok:
            return Answer::Ok;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoDefaultNo:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }
    QString inputBox(const QString& title, const QString& prompt, const QString& defaultText) override
    {
        calls.append({ Kind::Input, title, prompt, MsgIcon::None, MsgButtons::OkCancel, defaultText });
        return inputs.isEmpty() ? QString() : inputs.dequeue();
    }
    QString browseForFolder(const QString& title, const QString& initialFolder) override
    {
        calls.append({ Kind::Folder, {}, title, MsgIcon::None, MsgButtons::Ok, initialFolder });
        return folders.isEmpty() ? QString() : folders.dequeue();
    }
    QString chooseFile(const QString& title, const QString& folder, const QString&) override
    {
        calls.append({ Kind::File, {}, title, MsgIcon::None, MsgButtons::Ok, folder });
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QString chooseSaveFile(const QString& title, const QString& suggestedPath, const QString&) override
    {
        calls.append({ Kind::SaveFile, {}, title, MsgIcon::None, MsgButtons::Ok, suggestedPath });
        return saveFiles.isEmpty() ? QString() : saveFiles.dequeue();
    }
    void beep() override { calls.append({ Kind::Beep, {}, {}, MsgIcon::None, MsgButtons::Ok, {} }); }

    // The texts of every message box, in order.
    QStringList messageTexts() const
    {
        QStringList out;
        for (const Call& c : calls)
            if (c.kind == Kind::Message)
                out << c.text;
        return out;
    }
    int count(Kind kind) const
    {
        int n = 0;
        for (const Call& c : calls)
            n += c.kind == kind;
        return n;
    }

    QList<Call> calls;
    QQueue<Answer> answers;
    QQueue<QString> inputs;
    QQueue<QString> folders;
    QQueue<QString> files;
    QQueue<QString> saveFiles;
};
