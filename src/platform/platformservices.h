#pragma once

class SettingsBackend;
class FileSystem;
class Trash;
class Launcher;
class Prompter;
class Clock;

// The platform services a window needs, handed down from main() (real ones)
// or from a test (doubles). Not owned.
struct PlatformServices {
    SettingsBackend* settings = nullptr;
    FileSystem* files = nullptr;
    Trash* trash = nullptr;
    Launcher* launcher = nullptr;
    Prompter* prompter = nullptr;
    Clock* clock = nullptr;
};
