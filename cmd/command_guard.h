// The exception guard around a command: every failure that leaves the
// command's body is shown once, by kind, and the command ends normally.
#pragma once

enum class GuardFallback {
    ResourceTexts, // gwell: the resource module's catch-all texts
    FixedTexts,    // gwtest: fixed English texts
};

void GuardCommand(void (*body)(), GuardFallback fallback);
