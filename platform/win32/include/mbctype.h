// Stand-in for the Microsoft runtime's setlocale, which takes Windows locale
// names: ".ACP" (the system's ANSI code page) and "ENU" (English, United
// States). They are mapped to this system's names before the C library sees
// them. Include it after <clocale> in the file that calls setlocale.
#pragma once
#include <clocale>

char* MsvcrtSetLocale(int category, const char* locale);
#define setlocale MsvcrtSetLocale
