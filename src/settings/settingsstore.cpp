#include "settingsstore.h"

#include "platform/settingsbackend.h"
#include "text/texthelpers.h"

namespace {
const QString kSettings = QStringLiteral("Settings");
const QString kFormats = QStringLiteral("Formats");
const QString kFilters = QStringLiteral("Filters");
} // namespace

QString numberedKey(const QString& prefix, int index)
{
    return prefix + QStringLiteral("%1").arg(index, 2, 10, QLatin1Char('0'));
}

QString SettingsStore::getOption(const QString& key, const QString& defaultValue) const
{
    return trimSpaces(m_backend.value(kSettings, trimSpaces(key), defaultValue));
}

void SettingsStore::saveOption(const QString& key, const QString& value)
{
    m_backend.setValue(kSettings, trimSpaces(key), trimSpaces(value));
}

QString SettingsStore::getFormatValue(const QString& key, const QString& defaultValue) const
{
    return trimSpaces(m_backend.value(kFormats, trimSpaces(key), defaultValue));
}

void SettingsStore::saveFormatValue(const QString& key, const QString& value)
{
    m_backend.setValue(kFormats, trimSpaces(key), trimSpaces(value));
}

QString SettingsStore::getFilterValue(const QString& key, const QString& defaultValue) const
{
    return m_backend.value(kFilters, key, defaultValue);
}

void SettingsStore::saveFilterValue(const QString& key, const QString& value)
{
    m_backend.setValue(kFilters, key, value);
}

void SettingsStore::deleteSection(const QString& section)
{
    m_backend.removeSection(section);
}
