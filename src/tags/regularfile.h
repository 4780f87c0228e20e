#pragma once

#include <QString>

#include <sys/stat.h>

// Opens path read-only when it is a regular file, never waiting: a named
// pipe or a device would block an open or a read for as long as nothing
// writes to it. Returns the descriptor (close-on-exec, blocking reads), with
// its status in *st when st is given; -1 with errno set otherwise (EISDIR
// for a file that is no regular file).
int openRegularFile(const QString& path, struct stat* st = nullptr);
