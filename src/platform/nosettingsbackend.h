#pragma once

#include "platform/settingsbackend.h"

// Settings that hold nothing and keep nothing: every read gives its default.
// For runs that must not depend on the user's settings file.
class NoSettingsBackend final : public SettingsBackend {
public:
    QString value(const QString&, const QString&, const QString& defaultValue) const override { return defaultValue; }
    void setValue(const QString&, const QString&, const QString&) override { }
    void removeSection(const QString&) override { }
    bool sync() override { return true; }
    SettingsError lastError() const override { return {}; }
};
