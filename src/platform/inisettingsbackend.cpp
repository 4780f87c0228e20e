#include "inisettingsbackend.h"

IniSettingsBackend::IniSettingsBackend()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmora"), QStringLiteral("Velmora"))
{
}

IniSettingsBackend::IniSettingsBackend(const QString& filePath)
    : m_settings(filePath, QSettings::IniFormat)
{
}

QString IniSettingsBackend::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    return m_settings.value(section + QLatin1Char('/') + key, defaultValue).toString();
}

void IniSettingsBackend::setValue(const QString& section, const QString& key, const QString& value)
{
    m_settings.setValue(section + QLatin1Char('/') + key, value);
}

void IniSettingsBackend::removeSection(const QString& section)
{
    m_settings.remove(section);
}

void IniSettingsBackend::sync()
{
    m_settings.sync();
}
