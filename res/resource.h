// Resource identifiers of KEP: menu commands, resources, dialog controls.
// Shared by the resource script and the C++ code, so only #defines here.
// The defines are aligned in columns, as a resource script has them.
// clang-format off
#ifndef KEP_RESOURCE_H
#define KEP_RESOURCE_H

#include "afxres.h"

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

// Resources.
#define IDD_ABOUTBOX            100
#define IDR_MAINFRAME           128     // menu, accelerators, icon, title string
#define IDD_HISTORY_SETTINGS    130
#define IDD_FIXED_SIZE          133

// Controls.
#define ID_MENUBAR              1000    // the menu-bar toolbar inside the rebar
#define IDC_MAX_COUNT           1001    // history settings: maximum number of entries
#define IDC_THUMB_WIDTH         1002    // history settings: thumbnail width
#define IDC_THUMB_HEIGHT        1003    // history settings: thumbnail height
#define IDC_SHOW_THUMBNAILS     1004    // history settings: thumbnails on/off
#define IDC_PIXELS              1005    // fixed size: pixel limit

// Internal commands (no menu item).
#define ID_FIT_WINDOW           32771   // sent by the view: fit the frame to the image
#define ID_SHOW_CONTEXT_MENU    32772   // Ctrl+R, right button

// Steps through the pictures of the shown picture's folder (keys in the view,
// the mouse's side buttons); ID_STEP_NEXT..ID_STEP_LAST have one handler.
#define ID_STEP_NEXT            32816   // Right, Down, Page Down, Space; side button forward
#define ID_STEP_PREVIOUS        32817   // Left, Up, Page Up, Backspace; side button back
#define ID_STEP_FIRST           32818   // Home
#define ID_STEP_LAST            32819   // End

// Translucency: opacity = (id - ID_ALPHA_BASE) * 10 percent.
// The "10%" item's status prompt lives one id below the item, under ID_ALPHA_BASE.
#define ID_ALPHA_BASE           32774
#define ID_ALPHA_10             32775
#define ID_ALPHA_20             32776
#define ID_ALPHA_30             32777
#define ID_ALPHA_40             32778
#define ID_ALPHA_50             32779
#define ID_ALPHA_60             32780
#define ID_ALPHA_70             32781
#define ID_ALPHA_80             32782
#define ID_ALPHA_90             32783
#define ID_ALPHA_NONE           32784

// Zoom: one handler for ID_ZOOM_ANY..ID_ZOOM_FIX_BOTH; percent = (id - ID_ZOOM_ANY) * 10.
#define ID_ZOOM_ANY             32785
#define ID_ZOOM_10              32786
#define ID_ZOOM_20              32787
#define ID_ZOOM_30              32788
#define ID_ZOOM_40              32789
#define ID_ZOOM_50              32790
#define ID_ZOOM_60              32791
#define ID_ZOOM_70              32792
#define ID_ZOOM_80              32793
#define ID_ZOOM_90              32794
#define ID_ZOOM_100             32795
#define ID_ZOOM_FIX_WIDTH       32896
#define ID_ZOOM_FIX_HEIGHT      32897
#define ID_ZOOM_FIX_BOTH        32898

// Shell integration.
#define ID_SENDTO               32799
#define ID_CONTEXT_MENU_ENTRY   32800
#define ID_STARTUP_REGISTER     32810

// Frame commands.
#define ID_START                32801
#define ID_HISTORY_DELETE       32803
#define ID_HISTORY_SETTINGS     32804
#define ID_HELP_FILE            32805
#define ID_TOPMOST              32806
#define ID_CLOSE_ALL            32807
#define ID_HIDE_FRAME           32811

// The clipboard: the picture shown out, a picture or files in.
#define ID_COPY                 32820   // Ctrl+C
#define ID_PASTE                32821   // Ctrl+V; Shift+Ctrl+V opens in a new window

// Rotation and mirroring.
#define ID_ROTATE_LEFT          32812
#define ID_ROTATE_RIGHT         32813
#define ID_FLIP_HORIZONTAL      32814
#define ID_FLIP_VERTICAL        32815

// History entries, added to the history submenu at run time.
#define ID_HISTORY_FIRST        40000
#define ID_HISTORY_LAST         40049

#endif // KEP_RESOURCE_H
