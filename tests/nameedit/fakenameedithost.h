#pragma once

#include "nameedit/nameedithost.h"
#include "nameedit/steprecorder.h"

#include <QList>
#include <QPair>
#include <QSet>
#include <QStringList>
#include <functional>
#include <stdexcept>

// A tag panel and main window in memory: field texts, folder, status lines
// and rename-button states are plain data. Like the real tag panel, a field
// whose text changes records a field step while recording is on.
class FakeNameEditHost final : public NameEditHost {
public:
    QString fieldText(FieldId field) const override { return fields[int(field)]; }
    bool setFieldText(FieldId field, const QString& text) override
    {
        assignments.append({field, text});
        if (throwing.contains(field))
            throw std::runtime_error("field failure");
        if (refusing.contains(field))
            return false;
        const bool changed = fields[int(field)] != text;
        fields[int(field)] = text;
        if (changed && recorder)
            recorder->RecordStep(QString::fromLatin1(fieldInfo(field).name) + QLatin1Char(':') + text);
        return true;
    }
    QString currentFolder() const override { return folder; }
    void showStatus(const QString& text) override { statuses.append(text); }
    void setRenameEnabled(bool enabled) override { renameStates.append(enabled); }
    void reloadTagFields() override
    {
        ++reloads;
        if (onReload)
            onReload();
    }
    void focusNewName() override { ++focusRequests; }

    QString& field(FieldId id) { return fields[int(id)]; }

    QString fields[kFieldCount];
    QString folder;
    QStringList statuses;
    QList<bool> renameStates;
    int reloads = 0;
    int focusRequests = 0;
    QSet<FieldId> refusing;
    QSet<FieldId> throwing;
    QList<QPair<FieldId, QString>> assignments;
    StepRecorder* recorder = nullptr;
    std::function<void()> onReload;
};
