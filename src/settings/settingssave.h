#pragma once

#include <QString>

class Prompter;
class SettingsBackend;
struct SettingsError;

// The message that tells the user where and why the settings could not be
// saved.
QString settingsNotSavedText(const SettingsError& error);

// Writes the pending settings. When that fails and told is still false, the
// user is told once (told becomes true); the program goes on with the values
// it holds either way. Returns whether the settings were saved.
bool saveSettings(SettingsBackend& backend, Prompter& prompter, bool& told);
