#pragma once

#include "filters.h"
#include "options.h"
#include "settingssave.h"
#include "settingsstore.h"

// The one place that holds the in-memory options and filters the whole
// program reads, beside the store they come from. Windows get it by
// reference; loadOptions/loadFilters replace the values wholesale.
class Preferences {
public:
    explicit Preferences(SettingsBackend& backend)
        : store(backend)
    {
    }

    void loadOptions() { options = ::loadOptions(store); }
    void loadFilters() { filters = ::loadFilters(store); }
    // Writes the pending settings; a failure is told to the user once a run.
    bool saveSettings(Prompter& prompter) { return ::saveSettings(store.backend(), prompter, m_saveFailureTold); }

    SettingsStore store;
    Options options;
    FilterList filters { FilterRecord {} };

private:
    bool m_saveFailureTold = false;
};
