#pragma once

#include "platform/launcher.h"

#include <QStringList>

// Records every launch; answers `result` (0 = success).
class RecordingLauncher final : public Launcher {
public:
    int open(const QString& path) override
    {
        opened << path;
        return result;
    }

    QStringList opened;
    int result = 0;
};
