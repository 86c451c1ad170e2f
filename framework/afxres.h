// Identifiers the framework reserves for itself (commands, strings, control ids).
// Included by the resource script as well as by C++ code, so only #defines here.
// The defines are aligned in columns, as a resource script has them.
// clang-format off
#pragma once

#ifndef RC_INVOKED
#include <windows.h>
#endif

// Window messages private to the framework.
#define WM_SETMESSAGESTRING     0x0362
#define WM_IDLEUPDATECMDUI      0x0363

// Standard commands.
#define ID_SEPARATOR            0
#define ID_FILE_OPEN            0xE101
#define ID_APP_ABOUT            0xE140
#define ID_APP_EXIT             0xE141
#define ID_HELP                 0xE146
#define ID_VIEW_STATUS_BAR      0xE801

// Status-bar indicators.
#define ID_INDICATOR_EXT        0xE700
#define ID_INDICATOR_CAPS       0xE701
#define ID_INDICATOR_NUM        0xE702
#define ID_INDICATOR_SCRL       0xE703
#define ID_INDICATOR_OVR        0xE704
#define ID_INDICATOR_REC        0xE705
#define ID_INDICATOR_KANA       0xE706

// Strings.
#define AFX_IDS_APP_TITLE       0xE000
#define AFX_IDS_IDLEMESSAGE     0xE001

// Control ids of the frame's children.
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_STATUS_BAR      0xE801
#define AFX_IDW_REBAR           0xE804
#define AFX_IDW_PANE_FIRST      0xE900

// Extra frame styles, kept out of the window's own style.
#define FWS_ADDTOTITLE          0x00008000L
#define FWS_PREFIXTITLE         0x00004000L

// Control-bar alignment styles (the bar's own bits, never given to the window).
#define CBRS_BORDER_TOP         0x0200L
#define CBRS_BORDER_BOTTOM      0x0800L
#define CBRS_ALIGN_TOP          0x2000L
#define CBRS_ALIGN_BOTTOM       0x8000L
#define CBRS_TOP                (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_BOTTOM             (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)
