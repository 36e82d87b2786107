// Host control of the shell stand-in (shellapi.h ShellExecuteA, winbase.h
// WinExec) and of MessageBeep: a launcher installed here sees every launch
// instead of xdg-open or the program, so that a test records the calls or
// fails them with any result and never starts a real viewer; the beeps are
// recorded for everyone to see.
#pragma once
#include <windef.h>

#include <string>
#include <vector>

struct ShellLaunch {
    enum class Kind { ShellExecute, WinExec };
    Kind kind = Kind::ShellExecute;
    std::string verb;       // ShellExecuteA's operation; empty when null
    std::string file;       // ShellExecuteA's file, or WinExec's command line, as the caller gave it
    std::string parameters; // ShellExecuteA's parameters
    std::string directory;  // ShellExecuteA's folder
    int showCommand = 0;
};

class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;
    // The call's result: above 32 for success (31 for WinExec), else its code.
    virtual INT_PTR launch(const ShellLaunch& launch) = 0;
};

// Records every launch and answers each with `result` (a success by default).
class RecordingShellLauncher : public ShellLauncher {
public:
    std::vector<ShellLaunch> launches;
    INT_PTR result = 42;
    // Answers for the next calls, in order, before `result` applies.
    std::vector<INT_PTR> results;

    INT_PTR launch(const ShellLaunch& launch) override;
};

// Installs the launcher for the whole process (null: the real launch through
// xdg-open or the program); returns the one before.
ShellLauncher* SetShellLauncher(ShellLauncher* launcher);

// MessageBeep calls made so far in this process, their types in order.
std::vector<UINT> RecordedBeeps();
void ClearRecordedBeeps();

// Whether a desktop can show a document: DISPLAY or WAYLAND_DISPLAY set and
// xdg-open found on PATH (its path in `opener`).
bool DesktopCanOpenDocuments(std::string* opener = nullptr);
