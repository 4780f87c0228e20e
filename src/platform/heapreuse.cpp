#include "heapreuse.h"

#include <malloc.h>

namespace {

// Above the largest picture (16 MB) a tag may take in one piece; free memory
// beyond twice that is still given back.
constexpr int kMappedAbove = 32 * 1024 * 1024;
constexpr int kTrimmedAbove = 2 * kMappedAbove;

} // namespace

void reuseFreedMemory()
{
    mallopt(M_MMAP_THRESHOLD, kMappedAbove);
    mallopt(M_TRIM_THRESHOLD, kTrimmedAbove);
}
