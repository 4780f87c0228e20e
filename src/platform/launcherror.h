#pragma once

#include <QString>

// The reason for a failed launch code: "File not found" for 2, "No
// association for file extension" for 31 (nothing can open the file), and
// so on; "Unknown error" for a code without a text of its own.
QString launchErrorText(int code);

// What a failed launch tells the user: the reason, then the file that could
// not be opened, on a line of its own.
QString launchFailureText(int code, const QString& path);
