#pragma once

#include "platform/prompter.h"

// Prompter over QMessageBox, QInputDialog and QFileDialog. Boxes are
// parented to the currently active window.
class QtPrompter final : public Prompter {
public:
    Answer message(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons) override;
    QString inputBox(const QString& title, const QString& prompt, const QString& defaultText) override;
    QString browseForFolder(const QString& title, const QString& initialFolder) override;
    QString chooseFile(const QString& title, const QString& folder, const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& suggestedPath, const QString& filter) override;
    void beep() override;
};
