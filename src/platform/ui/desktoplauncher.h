#pragma once

#include "platform/launcher.h"

// Opens files with the desktop's default application (xdg-open).
class DesktopLauncher final : public Launcher {
public:
    int open(const QString& path) override;
};
