#pragma once

// How the picture is sized (the settings' m_nZoomMode, stored as an int): a
// free factor that follows the user's resizing of the window, a percent, or a
// pixel limit on the height, the width or both (m_nZoomValue is the percent or
// the limit).
enum ZoomMode : int {
    ZOOM_ANY = 0,
    ZOOM_PERCENT = 1,
    ZOOM_FIX_HEIGHT = 2,
    ZOOM_FIX_WIDTH = 3,
    ZOOM_FIX_BOTH = 4,
};
