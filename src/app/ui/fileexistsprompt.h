#pragma once

#include "platform/existingtargetprompt.h"

class QWidget;

// The existing-target prompt as a window: the facts of both files side by
// side, in a modal form over parent.
class FileExistsPrompt final : public ExistingTargetPrompt {
public:
    explicit FileExistsPrompt(QWidget* parent)
        : m_parent(parent)
    {
    }

    ExistingTargetAnswer ask(const QString& folder, const QString& existingName, const QString& renamedName) override;

private:
    QWidget* m_parent;
};
