// The module as an in-process COM server: its one class AppEventHandler and
// the type library GwellLib, registered under HKEY_CLASSES_ROOT at every load.
#pragma once
#include <string>

void InitComServerModule();
void TermComServerModule();
// Writes the class's and the type library's keys; false when a key could not
// be written (the load goes on regardless).
bool RegisterComServer(const std::string& modulePath);
