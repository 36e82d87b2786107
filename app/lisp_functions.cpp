#include "app/lisp_functions.h"

#include <adslib.h>

namespace {

// Runs "C:init_gwell": the menu setup of a document.
int InitGwellMenu()
{
    // The menu group and its pull-down menu are set up here once the menu
    // file ships beside the module; until then there is nothing to place.
    return RSRSLT;
}

} // namespace

const LispFunctionEntry LispFunctionTable[] = {
    {.name = "C:init_gwell", .function = InitGwellMenu, .registerForInvocation = false},
};
const std::size_t LispFunctionCount = sizeof LispFunctionTable / sizeof LispFunctionTable[0];
