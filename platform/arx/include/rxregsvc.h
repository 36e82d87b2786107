// Stand-in for the host's runtime services: the application entry protocol,
// the system registry of named services, the dynamic linker and the
// application unlock and class-hierarchy calls (rxregsvc.h, rxdlinkr.h, acrx.h).
#pragma once
#include "rxobject.h"

#include <string>

namespace AcRx {
enum AppMsgCode {
    kNullMsg = 0,
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
    kDependencyMsg = 10,
    kNoDependencyMsg = 11,
    kOleUnloadAppMsg = 12,
    kPreQuitMsg = 13,
    kInitDialogMsg = 14,
    kEndDialogMsg = 15,
};
enum AppRetCode { kRetOK = 0, kRetError = 3 };
} // namespace AcRx

#define ACRX_COMMAND_DOCK "ACAD_REGISTERED_COMMANDS"
#define ACRX_DYNAMIC_LINKER "DynamicLinker"

// The system registry: named services, looked up by name.
class AcRxDictionary : public AcRxObject {
public:
    virtual AcRxObject* at(const char* key) const = 0;
};
AcRxDictionary* acrxSysRegistry();

class AcRxDynamicLinker : public AcRxObject {
public:
    virtual bool registerAppMDIAware(void* appId) = 0;
    virtual bool registerAppNotMDIAware(void* appId) = 0;
    // Loads an application module and sends it kInitAppMsg (then kLoadDwgMsg
    // for every open document); false when it does not load or refuses.
    virtual bool loadModule(const char* fileName, bool printIt) = 0;
    virtual bool unloadModule(const char* fileName, bool printIt) = 0;
};
#define acrxDynamicLinker (static_cast<AcRxDynamicLinker*>(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)))

bool acrxUnlockApplication(void* appId);
void acrxBuildClassHierarchy();
