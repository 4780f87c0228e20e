#pragma once

#include <QString>

class SettingsBackend;

// Access to the three sections "Settings", "Formats" and "Filters". Option
// and format keys and values are trimmed of spaces; filter keys and values
// are used as they are, because a filter may search for a single space.
class SettingsStore {
public:
    explicit SettingsStore(SettingsBackend& backend) : m_backend(backend) {}

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

// Removes spaces (code 32 only) from both ends.
QString TrimSpaces(const QString& s);

// The number at the start of the text (an optional sign, then digits), 0
// when the text does not start with one: "" is 0, "1abc" is 1.
int LeadingNumber(const QString& text);

// A flag is on when the number at the start of its text is exactly 1.
inline bool IsOn(const QString& text) { return LeadingNumber(text) == 1; }

// "Format" + 0 gives "Format00": the index with at least two digits.
QString NumberedKey(const QString& prefix, int index);
