#pragma once

#include "platform/fakes/faultyfilesystem.h"
#include "platform/fakes/fixedclock.h"
#include "platform/fakes/memorysettingsbackend.h"
#include "platform/fakes/recordinglauncher.h"
#include "platform/fakes/recordingtrash.h"
#include "platform/fakes/scriptedprompter.h"
#include "platform/platformservices.h"

// Every platform double, wired into one PlatformServices for a window under
// test. Not copyable: services points into the object.
struct PlatformDoubles {
    PlatformDoubles() { services = { &settings, &files, &trash, &launcher, &prompter, &clock }; }
    PlatformDoubles(const PlatformDoubles&) = delete;
    PlatformDoubles& operator=(const PlatformDoubles&) = delete;

    MemorySettingsBackend settings;
    FaultyFileSystem files;
    RecordingTrash trash;
    RecordingLauncher launcher;
    ScriptedPrompter prompter;
    FixedClock clock;
    PlatformServices services;
};
