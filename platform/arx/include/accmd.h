// Stand-in for the host's command stack (accmd.h), found in the system
// registry under "ACAD_REGISTERED_COMMANDS".
#pragma once
#include "acadstrc.h"
#include "rxregsvc.h"

#include <windows.h>

using AcRxFunctionPtr = void (*)();
class AcEdUIContext;
class AcEdCommand;

#define ACRX_CMD_MODAL 0x00000000
#define ACRX_CMD_TRANSPARENT 0x00000001

class AcEdCommandStack : public AcRxObject {
public:
    static AcEdCommandStack* cast(AcRxObject* object) { return dynamic_cast<AcEdCommandStack*>(object); }
    // Fails with eDuplicateKey when the group already holds the global name.
    virtual Acad::ErrorStatus addCommand(const char* groupName, const char* globalName, const char* localName,
        int commandFlags, AcRxFunctionPtr function, AcEdUIContext* context = nullptr, int functionCode = -1,
        HINSTANCE resourceHandle = nullptr, AcEdCommand** commandOut = nullptr)
        = 0;
    // Fails with eKeyNotFound when there is no such group.
    virtual Acad::ErrorStatus removeGroup(const char* groupName) = 0;
};
#define acedRegCmds AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK))
