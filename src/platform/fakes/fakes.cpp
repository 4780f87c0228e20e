// The doubles are header-only; this file gives the library a body.
#include "faultyfilesystem.h"
#include "fixedclock.h"
#include "memorysettingsbackend.h"
#include "recordinglauncher.h"
#include "recordingtrash.h"
#include "scriptedprompter.h"
