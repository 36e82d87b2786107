#include "app/lisp_functions.h"

#include <adslib.h>

int InitGwellMenu()
{
    // The menu group and its pull-down menu are set up here once the menu
    // file ships beside the module; until then there is nothing to place.
    return RSRSLT;
}

const LispFunctionEntry LispFunctionTable[] = {
    {"C:init_gwell", InitGwellMenu, false},
};
const std::size_t LispFunctionCount = sizeof LispFunctionTable / sizeof LispFunctionTable[0];
