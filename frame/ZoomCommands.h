// The zoom commands of the "倍率" submenu: which zoom mode and value each
// command stands for, and the texts of the three fixed-size items, which show
// the stored limit while their mode is active.
#pragma once

#include <string>

#include "settings/WindowSettings.h"

// ID_ZOOM_FIX_WIDTH, ID_ZOOM_FIX_HEIGHT or ID_ZOOM_FIX_BOTH: the commands that
// ask for a pixel limit in the fixed-size dialog.
bool IsFixedZoomCommand(unsigned nID);

// The zoom mode command nID selects: ZOOM_ANY for "任意", ZOOM_PERCENT for
// the percent steps, and the fixed mode of each fixed-size command.
ZoomMode ZoomModeForCommand(unsigned nID);

// The value a percent step stores: (nID - ID_ZOOM_ANY) x 10, so 0 for "任意".
int ZoomPercentForCommand(unsigned nID);

// The item text for command nID (the fixed width, height or both item) in
// zoom mode nMode with the stored value nValue; empty for other commands.
std::string FixedZoomMenuText(unsigned nID, int nMode, int nValue);
