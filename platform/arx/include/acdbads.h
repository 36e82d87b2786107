// Stand-in for acdbads.h: number and angle formatting by the working
// drawing's units, and entity names to object ids.
//
// acdbRToS: `unit` 1 scientific, 2 decimal, 3 engineering, 4 architectural,
// 5 fractional; -1 takes LUNITS. `precision` 0 to 8 (decimal places, or the
// power of two of the smallest fraction); -1 takes LUPREC. DIMZIN 4 drops
// leading and 8 trailing zeros of decimals, its low bits drop zero feet and
// zero inches; UNITMODE 1 writes feet and inches as they are typed.
// acdbAngToS: `unit` 0 degrees, 1 degrees/minutes/seconds, 2 grads,
// 3 radians, 4 surveyor's units; -1 takes AUNITS; `precision` -1 takes
// AUPREC. The angle is taken modulo a full turn. `text` must hold the
// result (at most 100 characters). Both answer RTNORM, or RTERROR for an
// unknown unit or precision.
#pragma once
#include "acadstrc.h"
#include "adsdef.h"
#include "dbid.h"

int acdbRToS(ads_real value, int unit, int precision, char* text);
int acdbAngToS(ads_real value, int unit, int precision, char* text);
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name entity);
