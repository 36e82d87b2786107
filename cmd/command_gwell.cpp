#include "cmd/command_gwell.h"

#include "cmd/command_guard.h"
#include "cmd/dispatch_keyword.h"
#include "common/resource_strings.h"

void CommandGwell()
{
    ResourceSourceScope resources;
    GuardCommand([] { DispatchKeyword(); }, GuardFallback::ResourceTexts);
}
