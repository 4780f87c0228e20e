#pragma once

#include <QString>

// Hands a file to the desktop's default application.
class Launcher {
public:
    // Codes a failed launch reports; the messages select their text by them.
    static constexpr int FileNotFound = 2;
    // Nothing on this desktop can open the file (Velmora itself does not
    // count: a file handed back to it would only open a second Velmora).
    static constexpr int NoAssociation = 31;
    // The opener failed without saying why ("Unknown error").
    static constexpr int OpenerFailed = 1;

    virtual ~Launcher() = default;
    // 0 once a program has the file, else one of the codes above.
    virtual int open(const QString& path) = 0;
};
