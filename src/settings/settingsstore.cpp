#include "settingsstore.h"

#include "platform/settingsbackend.h"

namespace {
const QString kSettings = QStringLiteral("Settings");
const QString kFormats = QStringLiteral("Formats");
const QString kFilters = QStringLiteral("Filters");
} // namespace

QString TrimSpaces(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && s.at(end - 1) == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}

int LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    // Leading blanks are skipped, as the classic conversion does.
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > 2147483647LL)
            value = 2147483647LL;
    }
    return int(negative ? -value : value);
}

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
