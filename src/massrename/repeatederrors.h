#pragma once

#include "platform/prompter.h"

#include <QSet>
#include <QString>

#include <utility>

// The per-file error boxes of a run. The tag layer reports a failed write
// in a message box; this prompter takes that message instead of showing it,
// so that the run can log it and show it with the offer to skip all further
// errors of the same kind (the same error number) for the rest of the run.
// Every other prompt goes to the real prompter.
class RepeatedErrors final : public Prompter {
public:
    explicit RepeatedErrors(Prompter* real)
        : m_real(real)
    {
    }

    // A new run: every kind of error is shown again.
    void reset()
    {
        m_muted.clear();
        m_held.clear();
    }
    // The message held since the last take ("" when none), then forgets it.
    QString take() { return std::exchange(m_held, QString()); }
    // Shows a held message with the skip offer, unless its kind is skipped.
    // kind: the error number.
    void show(const QString& text, int kind);
    bool isMuted(int kind) const { return m_muted.contains(kind); }

    Answer message(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons) override;
    QString inputBox(const QString& title, const QString& prompt, const QString& defaultText) override
    {
        return m_real->inputBox(title, prompt, defaultText);
    }
    QString browseForFolder(const QString& title, const QString& initialFolder) override
    {
        return m_real->browseForFolder(title, initialFolder);
    }
    QString chooseFile(const QString& title, const QString& folder, const QString& filter) override
    {
        return m_real->chooseFile(title, folder, filter);
    }
    void beep() override { m_real->beep(); }

private:
    Prompter* m_real;
    QSet<int> m_muted;
    QString m_held;
};

// The description and number of a tag layer error message ("... Error: " +
// description + " (" + number + ")" ...). False when the text has none.
bool parseErrorMessage(const QString& text, QString* description, int* number);
