// Stand-in for the Microsoft runtime's setlocale, which takes Windows locale
// names: ".ACP" (the system's ANSI code page) and "ENU" (English, United
// States). They are mapped to this system's names before the C library sees
// them. Include it after <clocale> in the file that calls setlocale.
//
// Why this header's name: the runtime declares setlocale in <locale.h>, but
// this system has its own <locale.h>, which the C++ library's headers include
// and whose setlocale they re-export; a stand-in of that name would change
// every file that includes them. <mbctype.h> (the runtime's multibyte code
// page header) exists only with the Microsoft runtime, so the module includes
// the override under a real runtime name that clashes with nothing here.
#pragma once
#include <clocale>

char* MsvcrtSetLocale(int category, const char* locale);
#define setlocale MsvcrtSetLocale
