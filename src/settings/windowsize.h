#pragma once

#include <QSize>

class SettingsStore;

// The size the main window opens with when it was not maximised: "Last
// Width" and "Last Height", the designed side for one stored as 0 or less,
// and never more than the available screen (an empty available size leaves
// the result uncut).
QSize restoredWindowSize(const SettingsStore& store, QSize design, QSize available);
