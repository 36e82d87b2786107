// Stand-in for winnls.h with the conversions of stringapiset.h, which it
// includes on Windows
// (MultiByteToWideChar, WideCharToMultiByte, GetACP).
//
// Code pages: CP_ACP (the host's ANSI code page), CP_UTF8 (65001), 1250 and
// 1252. The host's ANSI code page defaults to UTF-8, as on a Windows set to
// "Beta: use Unicode UTF-8"; tests and gwhost choose 1250 or 1252 through
// the control face (codepage.h).
//
// Simplifications: no best-fit mapping (an unmappable UTF-16 unit becomes the
// default character '?'); the only flags honoured are MB_ERR_INVALID_CHARS and
// WC_ERR_INVALID_CHARS; lpUsedDefaultChar is reported for 1250/1252 only.
#pragma once
#include "windef.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_NO_BEST_FIT_CHARS 0x00000400

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteCount, LPWSTR wideChar,
                        int wideCharCount);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int wideCharCount, LPSTR multiByte,
                        int multiByteCount, LPCSTR defaultChar, BOOL* usedDefaultChar);
UINT GetACP();
