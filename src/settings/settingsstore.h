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

    QString getOption(const QString& key, const QString& defaultValue) const;
    void saveOption(const QString& key, const QString& value);
    QString getFormatValue(const QString& key, const QString& defaultValue) const;
    void saveFormatValue(const QString& key, const QString& value);
    QString getFilterValue(const QString& key, const QString& defaultValue) const;
    void saveFilterValue(const QString& key, const QString& value);
    // Removes a whole section; a missing one is no error.
    void deleteSection(const QString& section);

    SettingsBackend& backend() { return m_backend; }

private:
    SettingsBackend& m_backend;
};

// "Format" + 0 gives "Format00": the index with at least two digits.
QString numberedKey(const QString& prefix, int index);
