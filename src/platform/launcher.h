#pragma once

#include <QString>

// Hands a file to the desktop's default application.
class Launcher {
public:
    // Codes a failed launch reports (the launcher's classic numbers).
    static constexpr int FileNotFound = 2;
    static constexpr int NoAssociation = 31;

    virtual ~Launcher() = default;
    // 0 on success, else one of the codes above.
    virtual int open(const QString& path) = 0;
};
