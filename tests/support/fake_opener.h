// A stand-in for the desktop's xdg-open in a folder put first on PATH: it
// writes its arguments, one a line, to a file and ends, so that a test sees
// what would have been opened without any viewer starting.
#pragma once
#include "support/environment_scope.h"
#include "support/scratch_dir.h"

#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>

class FakeOpener {
public:
    FakeOpener(const ScratchDir& dir, EnvironmentScope& environment)
        : log_(dir.File("opened.txt"))
    {
        const std::string script = dir.File("xdg-open");
        WriteFileBytes(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >>'" + log_ + "'\n");
        chmod(script.c_str(), 0755);
        const char* path = std::getenv("PATH");
        environment.Set("PATH", dir.Path() + ":" + (path ? path : "/usr/bin:/bin"));
        environment.Set("DISPLAY", ":99");
    }

    // What the opener was given, once it has run (it runs detached); empty
    // when nothing came within two seconds.
    std::string Opened() const
    {
        for (int i = 0; i < 200 && !FileExists(log_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        // The script may have created the file and not yet written it.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return FileExists(log_) ? ReadFileBytes(log_) : std::string();
    }
    bool Ran() const { return FileExists(log_); }

private:
    std::string log_;
};
