#pragma once

#include <QString>

enum class MsgIcon { None, Information, Exclamation, Critical, Question };
// YesNoDefaultNo: a yes/no question whose Enter and Escape both answer No,
// for a question whose Yes cannot be taken back lightly.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
enum class Answer { Ok, Cancel, Yes, No };

// Every message box, question, input box, file or folder picker and beep goes
// through this interface; windows never show one themselves.
class Prompter {
public:
    virtual ~Prompter() = default;

    virtual Answer message(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok)
        = 0;
    // The typed text, or "" when the user cancels.
    virtual QString inputBox(const QString& title, const QString& prompt, const QString& defaultText) = 0;
    // The chosen folder, or "" when the user cancels.
    virtual QString browseForFolder(const QString& title, const QString& initialFolder) = 0;
    // A file to open, chosen in folder among names matching filter (as
    // "Logs (*.log)"), or "" when the user cancels.
    virtual QString chooseFile(const QString& title, const QString& folder, const QString& filter) = 0;
    // A name to save a new file under, starting at suggestedPath (a folder,
    // or a folder and name) among names matching filter; the picker asks
    // before an existing file is chosen. "" when the user cancels.
    virtual QString chooseSaveFile(const QString& title, const QString& suggestedPath, const QString& filter) = 0;
    virtual void beep() = 0;

    // preferred is the answer Enter gives: Answer::No makes it a
    // YesNoDefaultNo question.
    bool askYesNo(
        const QString& title, const QString& text, MsgIcon icon = MsgIcon::Question, Answer preferred = Answer::Yes)
    {
        const MsgButtons buttons = preferred == Answer::No ? MsgButtons::YesNoDefaultNo : MsgButtons::YesNo;
        return message(title, text, icon, buttons) == Answer::Yes;
    }
    Answer askYesNoCancel(const QString& title, const QString& text, MsgIcon icon = MsgIcon::Question)
    {
        return message(title, text, icon, MsgButtons::YesNoCancel);
    }
};
