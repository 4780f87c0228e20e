#pragma once

#include <QString>

// Orders texts as people read them: runs of digits by their number ("Track
// 2" before "Track 10", "007" equal to "7" but placed after it), the rest
// without regard to case. Negative, zero or positive as a < b, a == b, a > b.
int naturalCompare(const QString& a, const QString& b);
