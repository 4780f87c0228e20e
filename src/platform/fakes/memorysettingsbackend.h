#pragma once

#include "platform/settingsbackend.h"

#include <QMap>

// Settings held in memory, for tests. `values` may be read and seeded
// directly; a test makes saving fail by setting `failure`.
class MemorySettingsBackend final : public SettingsBackend {
public:
    QString value(const QString& section, const QString& key, const QString& defaultValue) const override
    {
        const auto s = values.constFind(section);
        if (s == values.cend())
            return defaultValue;
        const auto v = s->constFind(key);
        return v == s->cend() ? defaultValue : *v;
    }
    void setValue(const QString& section, const QString& key, const QString& value) override
    {
        values[section][key] = value;
    }
    void removeSection(const QString& section) override { values.remove(section); }
    bool sync() override
    {
        ++syncs;
        return failure.ok();
    }
    SettingsError lastError() const override { return failure; }
    bool has(const QString& section, const QString& key) const
    {
        return values.contains(section) && values[section].contains(key);
    }

    QMap<QString, QMap<QString, QString>> values;
    SettingsError failure;
    int syncs = 0;
};
