#pragma once

#include "nameedit/nameedithost.h"
#include "nameedit/nameeditsession.h"
#include "nameedit/steprecorder.h"
#include "platform/fakes/memorysettingsbackend.h"
#include "settings/preferences.h"
#include "support/qttesthelpers.h"

#include <QList>
#include <QPair>
#include <QSet>
#include <functional>

#include <gtest/gtest.h>

// A tag panel and main window in memory: field texts, folder, status lines
// and rename-button states are plain data. Like the real tag panel, a field
// whose text changes records a field step while recording is on.
class FakeNameEditHost final : public NameEditHost {
public:
    QString fieldText(FieldId field) const override { return fields[int(field)]; }
    bool setFieldText(FieldId field, const QString& text) override
    {
        assignments.append({ field, text });
        if (refusing.contains(field))
            return false;
        const bool changed = fields[int(field)] != text;
        fields[int(field)] = text;
        if (changed && recorder)
            recorder->recordStep(QString::fromLatin1(fieldInfo(field).name) + QLatin1Char(':') + text);
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

    QString fields[kFieldCount];
    QString folder;
    QStringList statuses;
    QList<bool> renameStates;
    int reloads = 0;
    int focusRequests = 0;
    QSet<FieldId> refusing;
    QList<QPair<FieldId, QString>> assignments;
    StepRecorder* recorder = nullptr;
    std::function<void()> onReload;
};

// A session over in-memory settings and a fake window. Options are set in
// the store and loaded with setOption, as the options dialog's Apply does.
class SessionTest : public ::testing::Test {
protected:
    SessionTest()
    {
        prefs.loadOptions();
        prefs.loadFilters();
        host.recorder = &session.recorder();
    }

    void setOption(const QString& key, const QString& value)
    {
        backend.setValue(QStringLiteral("Settings"), key, value);
        prefs.loadOptions();
    }
    // Puts text into the name without typing it (cursor 0).
    void name(const QString& text) { session.editor().setText(text); }
    QString name() const { return session.editor().text(); }
    void useMask(const QString& mask)
    {
        session.formats().setMasks({ mask });
        session.formats().setCurrentIndex(0);
    }
    // Offers exactly these parts, the first one current.
    void offer(const QStringList& parts)
    {
        session.parts().setEntries(parts);
        session.parts().setCurrentIndex(0);
    }
    QString& field(FieldId id) { return host.fields[int(id)]; }
    void setFields(std::initializer_list<std::pair<FieldId, QString>> values)
    {
        for (const auto& [id, text] : values)
            field(id) = text;
    }

    MemorySettingsBackend backend;
    Preferences prefs { backend };
    FakeNameEditHost host;
    NameEditSession session { prefs, host };
};
