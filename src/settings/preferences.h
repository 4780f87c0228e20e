#pragma once

#include "filters.h"
#include "options.h"
#include "settingsstore.h"

// The one place that holds the in-memory options and filters the whole
// program reads, beside the store they come from. Windows get it by
// reference; LoadOptions/LoadFilters replace the values wholesale.
class Preferences {
public:
    explicit Preferences(SettingsBackend& backend) : store(backend) {}

    void LoadOptions() { options = ::LoadOptions(store); }
    void LoadFilters() { filters = ::LoadFilters(store); }

    SettingsStore store;
    Options options;
    FilterList filters{FilterRecord{}};
};
