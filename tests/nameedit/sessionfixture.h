#pragma once

#include "fakenameedithost.h"
#include "qtprinters.h"
#include "nameedit/nameeditsession.h"
#include "platform/fakes/memorysettingsbackend.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

// A session over in-memory settings and a fake window. Options are set in
// the store and loaded with setOption, as the options dialog's Apply does.
class SessionTest : public ::testing::Test {
protected:
    SessionTest()
    {
        prefs.LoadOptions();
        prefs.LoadFilters();
        host.recorder = &session.recorder();
    }

    void setOption(const QString& key, const QString& value)
    {
        backend.setValue(QStringLiteral("Settings"), key, value);
        prefs.LoadOptions();
    }
    // Puts text into the name without typing it (cursor 0).
    void name(const QString& text) { session.editor().setText(text); }
    QString name() const { return session.editor().text(); }
    void useMask(const QString& mask)
    {
        session.formats().setMasks({mask});
        session.formats().setCurrentIndex(0);
    }

    MemorySettingsBackend backend;
    Preferences prefs{backend};
    FakeNameEditHost host;
    NameEditSession session{prefs, host};
};
