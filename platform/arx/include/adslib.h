// Stand-in for the host's ADS functions the module calls (adslib.h, acedads.h):
// LISP functions, queued expressions, command-line input and output.
#pragma once
#include "adscodes.h"

using AcadFunctionPtr = int (*)();

int acedDefun(const char* name, short functionCode);
int acedUndef(const char* name, short functionCode);
int acedRegFunc(AcadFunctionPtr function, int functionCode);
int acedGetFunCode();
int ads_queueexpr(const char* expression);

int acutPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Reports an application failure on the command line.
void acdbFail(const char* message);

// Keyword input. The keyword list holds the local names, then "_" and the
// global names in the same order; acedGetKword answers with the global name.
int acedInitGet(int controlBits, const char* keywordList);
// `result` must hold 132 characters.
int acedGetKword(const char* prompt, char* result);
// `result` must hold 133 characters; longer input is cut to 132. With
// `allowSpaces` zero, a space ends the input like Enter.
int acedGetString(int allowSpaces, const char* prompt, char* result);
