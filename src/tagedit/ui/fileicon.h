#pragma once

#include <QIcon>

class FileFacts;

// The desktop's icon for the file FileFacts describes; a null icon when the
// file was not found.
QIcon fileIcon(const FileFacts& info);
