#pragma once

#include <QString>

// A size in bytes as the user reads it: "1,023 bytes", "1.00KB", "10.0KB",
// "512KB", "1.00MB", "1.00GB" (locale digits, no blank before the unit).
QString formatFileSize(qint64 bytes);

// The same text, followed for 1024 bytes and more by " (" + the exact count
// + " bytes)": "1.50KB (1,536 bytes)". Used by reports that show both.
QString formatFileSizeWithBytes(qint64 bytes);
