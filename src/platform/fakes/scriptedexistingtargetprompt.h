#pragma once

#include "platform/existingtargetprompt.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// Records each prompt as "folder|existing|renamed" and answers from a
// script; an unscripted prompt answers Skip.
class ScriptedExistingTargetPrompt final : public ExistingTargetPrompt {
public:
    ExistingTargetAnswer ask(const QString& folder, const QString& existingName, const QString& renamedName) override
    {
        asked << folder + QLatin1Char('|') + existingName + QLatin1Char('|') + renamedName;
        return answers.isEmpty() ? ExistingTargetAnswer::Skip : answers.dequeue();
    }

    QStringList asked;
    QQueue<ExistingTargetAnswer> answers;
};
