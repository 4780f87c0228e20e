#pragma once

#include "settingsbackend.h"

#include <QSettings>

// Settings in an INI file, by default ~/.config/Velmora/Velmora.ini (under
// $XDG_CONFIG_HOME). Writes reach the file when the object is destroyed or
// sync() runs.
class IniSettingsBackend final : public SettingsBackend {
public:
    IniSettingsBackend();
    explicit IniSettingsBackend(const QString& filePath);

    QString value(const QString& section, const QString& key, const QString& defaultValue) const override;
    void setValue(const QString& section, const QString& key, const QString& value) override;
    void removeSection(const QString& section) override;
    void sync();
    QString fileName() const { return m_settings.fileName(); }

private:
    mutable QSettings m_settings;
};
