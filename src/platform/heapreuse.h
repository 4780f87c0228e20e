#pragma once

// Keeps freed memory of up to a whole tag (pictures included) in the heap for
// the next file, instead of mapping fresh, zeroed pages for each buffer and
// returning them after it: a run over thousands of files with large covers
// otherwise spends more time in page faults than in its own work. Call once,
// first thing in main().
void reuseFreedMemory();
