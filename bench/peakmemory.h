#pragma once

#include <QtGlobal>

#include <sys/resource.h>

// The peak resident size of this process so far, in KB.
inline qint64 peakResidentKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
