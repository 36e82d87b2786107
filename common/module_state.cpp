#include "common/module_state.h"

#include <memory>

namespace {

std::unique_ptr<ModuleState>& StateSlot()
{
    static std::unique_ptr<ModuleState> state;
    return state;
}

} // namespace

ModuleState::~ModuleState()
{
    if (importRunning)
        CloseHandle(importRunning);
}

ModuleState& TheModuleState()
{
    std::unique_ptr<ModuleState>& state = StateSlot();
    if (!state)
        state = std::make_unique<ModuleState>();
    return *state;
}

void ResetModuleState() { StateSlot() = std::make_unique<ModuleState>(); }
