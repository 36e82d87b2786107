// Stand-in for acutmem.h: texts the database hands out are copies made with
// new[]; the caller frees them with acutDelString (or delete[]).
#pragma once
#include "acadstrc.h"

void acutDelString(char*& text);
