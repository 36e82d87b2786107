// Stand-in for commctrl.h: the common controls the module's dialogs use,
// the list view (SysListView32) and the tooltip (tooltips_class32). The
// framework stand-in's CListCtrl and CToolTipCtrl (afxcmn.h) drive them.
#pragma once
#include "winuser.h"

#define WC_LISTVIEWA "SysListView32"
#define TOOLTIPS_CLASSA "tooltips_class32"

// List view styles.
#define LVS_ICON 0x0000
#define LVS_REPORT 0x0001
#define LVS_SMALLICON 0x0002
#define LVS_LIST 0x0003
#define LVS_TYPEMASK 0x0003
#define LVS_SINGLESEL 0x0004
#define LVS_SHOWSELALWAYS 0x0008
#define LVS_NOSORTHEADER 0x8000
#define LVS_EX_GRIDLINES 0x00000001
#define LVS_EX_FULLROWSELECT 0x00000020

// Column formats.
#define LVCFMT_LEFT 0x0000
#define LVCFMT_RIGHT 0x0001
#define LVCFMT_CENTER 0x0002

// Item states and the searches of GetNextItem.
#define LVIS_FOCUSED 0x0001
#define LVIS_SELECTED 0x0002
#define LVNI_ALL 0x0000
#define LVNI_FOCUSED 0x0001
#define LVNI_SELECTED 0x0002

// Common notifications.
#define NM_FIRST (0U - 0U)
#define NM_CLICK (NM_FIRST - 2)
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_RCLICK (NM_FIRST - 5)

// Tooltip styles.
#define TTS_ALWAYSTIP 0x01
#define TTS_NOPREFIX 0x02

// Tab control.
#define WC_TABCONTROLA "SysTabControl32"

// Up-down control: styles, the notification of a step, and its record.
#define UPDOWN_CLASSA "msctls_updown32"
#define UDS_WRAP 0x0001
#define UDS_SETBUDDYINT 0x0002
#define UDS_ALIGNRIGHT 0x0004
#define UDS_AUTOBUDDY 0x0010
#define UDS_ARROWKEYS 0x0020
#define UDS_NOTHOUSANDS 0x0080
#define UDN_FIRST (0U - 721U)
#define UDN_DELTAPOS (UDN_FIRST - 1)

struct tagNMUPDOWN {
    NMHDR hdr;
    int iPos;
    int iDelta;
};
using NMUPDOWN = tagNMUPDOWN;
using LPNMUPDOWN = NMUPDOWN*;
