#pragma once

#include <QString>

// velmora.html in the program's folder: beside the executable in a build
// tree (programDir), else in the folder of installed data (dataDir).
// Returns the dataDir path when neither holds the file.
QString helpFilePath(const QString& programDir, const QString& dataDir);
