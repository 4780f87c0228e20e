#pragma once

#include "fileerror.h"

#include <QString>

// Why the settings could not be saved: the file (or folder) and the error.
struct SettingsError {
    QString path;
    FileError error;

    bool ok() const { return error.ok(); }
};

// The per-user store of text values addressed by section and key (the
// application title is fixed: "Velmora").
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;

    virtual QString value(const QString& section, const QString& key, const QString& defaultValue) const = 0;
    virtual void setValue(const QString& section, const QString& key, const QString& value) = 0;
    // Removes every key of the section; a missing section is no error.
    virtual void removeSection(const QString& section) = 0;
    // Writes the pending changes to lasting storage. False when they could
    // not be saved; lastError() then says where and why. The values stay
    // readable either way.
    virtual bool sync() = 0;
    virtual SettingsError lastError() const = 0;
};
