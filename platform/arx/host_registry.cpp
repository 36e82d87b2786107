// The host's system registry with its two services the module uses: the
// command stack and the dynamic linker. Both act on the current host.
#include "acad_host_state.h"

#include <algorithm>
#include <cstring>

namespace {

AcadHost::State* HostState()
{
    AcadHost* host = AcadHost::current();
    return host ? &host->state() : nullptr;
}

class HostCommandStack : public AcEdCommandStack {
public:
    Acad::ErrorStatus addCommand(const char* groupName, const char* globalName, const char* localName,
        int commandFlags, AcRxFunctionPtr function, AcEdUIContext*, int, HINSTANCE, AcEdCommand**) override
    {
        AcadHost::State* s = HostState();
        if (!s)
            return Acad::eNotApplicable;
        if (!groupName || !globalName || !localName || !function || !*globalName)
            return Acad::eInvalidInput;
        const std::string group = HostUpper(groupName);
        const std::string global = HostUpper(globalName);
        for (const HostCommand& command : s->commands)
            if (HostUpper(command.group) == group && HostUpper(command.globalName) == global)
                return Acad::eDuplicateKey;
        s->commands.push_back({groupName, globalName, localName, commandFlags, function});
        return Acad::eOk;
    }

    Acad::ErrorStatus removeGroup(const char* groupName) override
    {
        AcadHost::State* s = HostState();
        if (!s || !groupName)
            return Acad::eInvalidInput;
        const std::string group = HostUpper(groupName);
        auto end = std::remove_if(s->commands.begin(), s->commands.end(),
            [&group](const HostCommand& command) { return HostUpper(command.group) == group; });
        if (end == s->commands.end())
            return Acad::eKeyNotFound;
        s->commands.erase(end, s->commands.end());
        return Acad::eOk;
    }
};

HostApplication* FindApplication(AcadHost::State& s, void* appId)
{
    for (auto& application : s.applications)
        if (application.get() == appId)
            return application.get();
    return nullptr;
}

class HostDynamicLinker : public AcRxDynamicLinker {
public:
    bool registerAppMDIAware(void* appId) override { return declare(appId, 1); }
    bool registerAppNotMDIAware(void* appId) override { return declare(appId, 0); }

    bool loadModule(const char* fileName, bool printIt) override
    {
        AcadHost* host = AcadHost::current();
        std::string error;
        if (!host || !fileName)
            return false;
        if (host->loadApplication(fileName, error))
            return true;
        if (printIt)
            HostWriteOutput(std::string("\nUnable to load ") + fileName + ": " + error + "\n");
        return false;
    }

    bool unloadModule(const char* fileName, bool printIt) override
    {
        AcadHost::State* s = HostState();
        if (!s || !fileName)
            return false;
        for (auto it = s->applications.begin(); it != s->applications.end(); ++it) {
            HostApplication& application = **it;
            if (application.fileName != fileName)
                continue;
            // A locked application stays loaded, as on the real host.
            if (!s->unlocked.count(&application)) {
                if (printIt)
                    HostWriteOutput(std::string("\nUnable to unload ") + fileName + "\n");
                return false;
            }
            s->send(application, AcRx::kUnloadAppMsg);
            HMODULE module = application.module;
            s->unlocked.erase(&application);
            s->mdiAware.erase(&application);
            s->applications.erase(it);
            FreeLibrary(module);
            return true;
        }
        return false;
    }

private:
    static bool declare(void* appId, int awareness)
    {
        AcadHost::State* s = HostState();
        if (!s || !FindApplication(*s, appId))
            return false;
        s->mdiAware[appId] = awareness;
        return true;
    }
};

class HostSystemRegistry : public AcRxDictionary {
public:
    AcRxObject* at(const char* key) const override
    {
        if (!key || !AcadHost::current())
            return nullptr;
        if (std::strcmp(key, ACRX_COMMAND_DOCK) == 0)
            return &m_commandStack;
        if (std::strcmp(key, ACRX_DYNAMIC_LINKER) == 0)
            return &m_linker;
        return nullptr;
    }

private:
    mutable HostCommandStack m_commandStack;
    mutable HostDynamicLinker m_linker;
};

} // namespace

AcRxDictionary* acrxSysRegistry()
{
    static HostSystemRegistry registry;
    return &registry;
}

bool acrxUnlockApplication(void* appId)
{
    AcadHost::State* s = HostState();
    if (!s || !FindApplication(*s, appId))
        return false;
    s->unlocked.insert(appId);
    return true;
}

void acrxBuildClassHierarchy()
{
    if (AcadHost::State* s = HostState())
        ++s->classHierarchyBuilds;
}
