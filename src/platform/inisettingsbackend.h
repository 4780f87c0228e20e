#pragma once

#include "settingsbackend.h"

#include <QByteArray>
#include <QSettings>

// Settings in an INI file, by default ~/.config/Velmora/Velmora.ini (under
// $XDG_CONFIG_HOME). Writes reach the file when sync() runs or the object is
// destroyed.
class IniSettingsBackend final : public SettingsBackend {
public:
    IniSettingsBackend();
    explicit IniSettingsBackend(const QString& filePath);

    QString value(const QString& section, const QString& key, const QString& defaultValue) const override;
    void setValue(const QString& section, const QString& key, const QString& value) override;
    void removeSection(const QString& section) override;
    bool sync() override;
    SettingsError lastError() const override { return m_lastError; }
    QString fileName() const { return m_settings.fileName(); }

private:
    void keepCommaValuesAsWritten();

    mutable QSettings m_settings;
    SettingsError m_lastError;
};

// QSettings reads an unquoted comma in a value as a list separator and drops
// the blanks around it, so "Artist, Title.mp3" typed by hand would read as
// "" (so would "@Rect(...)" and its kin). These two recover the text as it
// stands in the file.

// The text after "=" of section/key in INI file content (comment cut off),
// or a null array when the key is not there. Keys and sections are compared
// as QSettings decodes them ("Last%20Width" is "Last Width").
QByteArray rawIniValue(const QByteArray& content, const QString& section, const QString& key);

// That text read as QSettings reads a value, except that a comma is an
// ordinary character: quotes and backslash escapes are resolved, blanks at
// both ends dropped.
QString iniValueAsWritten(const QByteArray& raw);

// Why path cannot be written: a folder on its way that is a file, a file or
// folder without write permission. ok() when nothing stands in the way.
FileError settingsWriteObstacle(const QString& path);
