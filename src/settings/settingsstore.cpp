#include "settingsstore.h"

#include "platform/settingsbackend.h"
#include "text/texthelpers.h"

namespace {
const QString kSettings = QStringLiteral("Settings");
const QString kFormats = QStringLiteral("Formats");
const QString kFilters = QStringLiteral("Filters");
} // namespace

QString NumberedKey(const QString& prefix, int index)
{
    return prefix + QStringLiteral("%1").arg(index, 2, 10, QLatin1Char('0'));
}

QString SettingsStore::GetOption(const QString& key, const QString& defaultValue) const
{
    return TrimSpaces(m_backend.value(kSettings, TrimSpaces(key), defaultValue));
}

void SettingsStore::SaveOption(const QString& key, const QString& value)
{
    m_backend.setValue(kSettings, TrimSpaces(key), TrimSpaces(value));
}

QString SettingsStore::GetFormatValue(const QString& key, const QString& defaultValue) const
{
    return TrimSpaces(m_backend.value(kFormats, TrimSpaces(key), defaultValue));
}

void SettingsStore::SaveFormatValue(const QString& key, const QString& value)
{
    m_backend.setValue(kFormats, TrimSpaces(key), TrimSpaces(value));
}

QString SettingsStore::GetFilterValue(const QString& key, const QString& defaultValue) const
{
    return m_backend.value(kFilters, key, defaultValue);
}

void SettingsStore::SaveFilterValue(const QString& key, const QString& value)
{
    m_backend.setValue(kFilters, key, value);
}

void SettingsStore::DeleteSection(const QString& section)
{
    m_backend.removeSection(section);
}
