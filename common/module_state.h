// What the module keeps from one command to the next, in one owner. The
// state is made on first use and lives until the module is unloaded (or a
// test starts afresh with ResetModuleState). The host runs every command on
// its main thread; only the change queue is also touched by the live link's
// worker thread, and it guards itself.
#pragma once
#include "common/change_queue.h"

#include <windows.h>
#include <dbidar.h>

#include <string>
#include <vector>

struct LayerFilterSettings {
    bool on = false;
    std::vector<std::string> layers; // exact names, compared without case
};

struct ModuleState {
    ModuleState() = default;
    ~ModuleState();
    ModuleState(const ModuleState&) = delete;
    ModuleState& operator=(const ModuleState&) = delete;

    // The row the next export row is written to. It lives as long as the
    // module, so a later export into the active worksheet can carry on
    // where the last one stopped.
    int currentRow = 1;
    // Block references the user picked; empty means no selection limit.
    // Every export command empties it first.
    AcDbObjectIdArray selectedReferences;
    // Set only by the filter dialog when it is confirmed.
    LayerFilterSettings layerFilter;
    // Cells the live link reports as edited, waiting for the incremental import.
    ChangeQueue changeQueue;
    // Manual-reset signal, set while an incremental import runs; created at
    // initialisation, closed at unload (null outside that span). A state
    // that goes while it is open closes it.
    HANDLE importRunning = nullptr;
    // The diagnostic text of the last failed drawing status; kept for a
    // debugger or a trace, never shown to the user.
    std::string lastDiagnostic;
};

// The module's state; made on first use.
ModuleState& TheModuleState();

// Drops the state and starts a fresh one, as a newly loaded module has it.
// For tests: nothing in the module calls it, and no command may be running.
void ResetModuleState();
