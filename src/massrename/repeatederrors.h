#pragma once

#include "platform/fileerror.h"

#include <QSet>
#include <QString>

class Prompter;

// The per-file error boxes of a run: each failure is shown with the offer
// to skip all further errors of the same kind (the same error number) for
// the rest of the run.
class RepeatedErrors {
public:
    explicit RepeatedErrors(Prompter* prompter)
        : m_prompter(prompter)
    {
    }

    // A new run: every kind of error is shown again.
    void reset() { m_muted.clear(); }
    bool isMuted(int number) const { return m_muted.contains(number); }
    // Shows the failed write of file with the skip offer, unless its kind
    // is skipped.
    void show(const QString& file, const FileError& error);

private:
    Prompter* m_prompter;
    QSet<int> m_muted;
};
