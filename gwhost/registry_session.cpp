#include "sessions.h"

#include "registry_context.h"

#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<RegistryContext> g_registry;

// Where the per-user store lives when --registry does not say: the XDG
// configuration folder, as other per-user settings on this platform.
bool DefaultStoreFile(std::string& path, std::string& error)
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and to be ignored.
    if (config && config[0] == '/') {
        path = std::string(config) + "/gridwell/user.reg";
        return true;
    }
    const char* home = std::getenv("HOME");
    if (home && *home) {
        path = std::string(home) + "/.config/gridwell/user.reg";
        return true;
    }
    error = "no place for the registry store: set HOME or XDG_CONFIG_HOME, or give --registry FILE";
    return false;
}

} // namespace

bool StartRegistrySession(const HostOptions& options, std::string& error)
{
    std::string path = options.registryFile;
    if (path.empty() && !DefaultStoreFile(path, error))
        return false;
    // A damaged store is reported by the context on stderr and the run goes
    // on with the defaults.
    g_registry = std::make_unique<RegistryContext>(path);
    g_registry->Install();
    if (!options.classesFile.empty() && !g_registry->LoadClassesRoot(options.classesFile, error)) {
        error = "cannot read the classes root from " + options.classesFile + ": " + error;
        return false;
    }
    return true;
}

void EndRegistrySession() { g_registry.reset(); }
