#pragma once

#include <QIcon>

class CFileInfo;

// The desktop's icon for the file CFileInfo describes; a null icon when the
// file was not found.
QIcon FileIcon(const CFileInfo& info);
