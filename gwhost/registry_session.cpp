#include "sessions.h"

// The per-user store lands with the registry stand-in; until then every
// run starts from the defaults.
bool StartRegistrySession(const HostOptions&, std::string&) { return true; }
void EndRegistrySession() { }
