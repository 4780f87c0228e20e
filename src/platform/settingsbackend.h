#pragma once

#include <QString>

// The per-user store of text values addressed by section and key (the
// application title is fixed: "Velmora").
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;

    virtual QString value(const QString& section, const QString& key, const QString& defaultValue) const = 0;
    virtual void setValue(const QString& section, const QString& key, const QString& value) = 0;
    // Removes every key of the section; a missing section is no error.
    virtual void removeSection(const QString& section) = 0;
};
