#include "app/lisp_functions.h"

#include "cmd/menu_setup.h"

const LispFunctionEntry LispFunctionTable[] = {
    {.name = "C:init_gwell", .function = InitGwellMenu, .registerForInvocation = false},
};
const std::size_t LispFunctionCount = sizeof LispFunctionTable / sizeof LispFunctionTable[0];
