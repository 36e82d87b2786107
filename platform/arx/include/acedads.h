// Stand-in for acedads.h: the selection-set functions, the host's system
// variables, commands run from an application, the menu functions and the
// LISP result of a function.
//
// acedSSGet understands the modes the module uses: "_I" (or "I"), the
// implied selection (the references picked before the command; taking it
// clears it), and "" (or null), the interactive pick: "Select objects: " is
// prompted and each input line holds entity handles until an empty line
// ends the pick (a cancel gives RTCAN). Only objects of the current space
// can be picked. A filter of entity-type items (group 0, comma-separated
// names, "*" and "?" wildcards) keeps the matching entities; other filter
// items are not supported (RTERROR). An empty result is RTERROR, as the
// host answers. Selection sets stay allocated until acedSSFree
// (DrawingHost::openSelectionSetCount counts them).
#pragma once
#include "adscodes.h"
#include "adsdef.h"

int acedSSGet(const char* mode, const void* point1, const void* point2, const resbuf* filter, ads_name ss);
int acedSSFree(const ads_name ss);
int acedSSLength(const ads_name ss, long* length);
int acedSSName(const ads_name ss, long index, ads_name entity);

// LISP functions answer nil to LISP with this.
int acedRetVoid();

// System variables the host keeps: CMDECHO (echo of commands run by
// acedCommand and their prompts), CMDDIA (commands open their dialogs) and
// FILEDIA, 16-bit integers (RTSHORT) 0 or 1. An unknown name is RTERROR; a
// value of another type or out of range is RTREJ and changes nothing.
int acedGetVar(const char* name, resbuf* result);
int acedSetVar(const char* name, const resbuf* value);

// Runs a host command with its answers, as if typed: pairs of a result type
// and a value (RTSTR with a const char*, RTSHORT with an int, RTREAL with a
// double), ended by RTNONE or 0. The command's prompts take these answers
// first; answers left over are dropped. The host's built-in commands used so
// are MENULOAD and -TOOLBAR (see acad_host.h); a leading "_" (global name)
// and "." (not redefined) are accepted. RTERROR for an unknown command or a
// bad argument list, RTCAN when the command was cancelled.
int acedCommand(int resultType, ...);

// Menu commands: "Pn=+GROUP.MENU" inserts the pull-down MENU of the loaded
// menu group GROUP at position n of the menu bar (counting the host's
// titled pull-downs from 0; a position past the end appends). RTERROR for
// an unknown group or menu or another form.
int acedMenuCmd(const char* command);
bool acedIsMenuGroupLoaded(const char* groupName);
