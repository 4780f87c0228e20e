#pragma once

#include "platform/prompter.h"

#include <QTextStream>

// The prompter of a program without a window: every message goes to a
// stream (standard error), one block of lines; every question gets the
// answer No, so nothing the user was not asked about is done; input boxes
// and pickers are cancelled.
class ConsolePrompter final : public Prompter {
public:
    explicit ConsolePrompter(QTextStream& stream)
        : m_stream(stream)
    {
    }

    Answer message(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons) override;
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }
    QString chooseFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    void beep() override { }

private:
    QTextStream& m_stream;
};
