// Stand-in for wingdi.h: the logical font a window's font is made from.
// There is no renderer: a font is its description, and text measures in the
// shell font's character cell whatever the description says.
#pragma once
#include "windef.h"

struct HFONT__;
using HFONT = HFONT__*;

#define LF_FACESIZE 32
#define FW_NORMAL 400
#define DEFAULT_CHARSET 1

struct tagLOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};
using LOGFONTA = tagLOGFONTA;
using LOGFONT = LOGFONTA;
using LPLOGFONTA = LOGFONTA*;
