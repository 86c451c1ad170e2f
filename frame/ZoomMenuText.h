// The texts of the three fixed-size zoom items, which show the stored limit
// while their mode is active.
#pragma once

#include <string>

// The item text for command nID (the fixed width, height or both item) in
// zoom mode nMode with the stored value nValue; empty for other commands.
std::string FixedZoomMenuText(unsigned nID, int nMode, int nValue);
