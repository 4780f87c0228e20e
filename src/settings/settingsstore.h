#pragma once

#include "text/texthelpers.h"

#include <QString>

class SettingsBackend;

// Access to the three sections "Settings", "Formats" and "Filters". Option
// and format keys and values are trimmed of spaces; filter keys and values
// are used as they are, because a filter may search for a single space.
class SettingsStore {
public:
    explicit SettingsStore(SettingsBackend& backend)
        : m_backend(backend)
    {
    }

    QString GetOption(const QString& key, const QString& defaultValue) const;
    void SaveOption(const QString& key, const QString& value);
    QString GetFormatValue(const QString& key, const QString& defaultValue) const;
    void SaveFormatValue(const QString& key, const QString& value);
    QString GetFilterValue(const QString& key, const QString& defaultValue) const;
    void SaveFilterValue(const QString& key, const QString& value);
    // Removes a whole section; a missing one is no error.
    void DeleteSection(const QString& section);

    SettingsBackend& backend() { return m_backend; }

private:
    SettingsBackend& m_backend;
};

// "Format" + 0 gives "Format00": the index with at least two digits.
QString NumberedKey(const QString& prefix, int index);
