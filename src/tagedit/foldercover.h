#pragma once

#include <QString>
#include <QStringList>

// The names the MultiTagger looks for first, as its box shows them.
QStringList defaultCoverPatterns();

// The patterns of a box's text: split at ";", blanks around each trimmed,
// empty ones dropped ("cover.jpg; *front*.png").
QStringList coverPatterns(const QString& text);

// The cover image of a folder: the first regular file whose name matches
// one of patterns (wildcards "*", "?" and "[...]", any case), tried in
// their order, and after them any "cover.*", then "folder.*" with the name
// of an image kind (jpg, jpeg, png, gif, bmp). Where a pattern matches
// several names, the first in order of their lower-case names. The path,
// or "" when the folder holds none.
QString folderCoverFile(const QString& folder, const QStringList& patterns = defaultCoverPatterns());
