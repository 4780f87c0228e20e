#pragma once

#include <QString>

class SettingsStore;

// True when the folder (with a trailing "/" added) can be examined.
bool dirExists(const QString& path);

// The folder stored under key, ending in "/": the stored folder, else its
// parent (one level only), else the user's home folder.
QString getLastPath(const SettingsStore& store, const QString& key);
