// The persisted window settings (wndset.def in the per-user settings folder):
// translucency, zoom, the menu-bar band layout, frameless look, status bar and
// always-on-top. Loaded once when the main frame is created, saved whole after
// every change.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "CString.h"
#include "settings/ZoomMode.h"

class CArchive;

class WindowSettings {
public:
    static constexpr const char* kFileName = "wndset.def";
    static constexpr int kFormatVersion = 5;

    WindowSettings();
    virtual ~WindowSettings();

    // Every field to its default except m_bandInfo.cx.
    void ResetToDefaults();

    // Reads <settings folder>\wndset.def. FALSE only when the file cannot be
    // opened (missing, or open in another process); the fields are then
    // unchanged.
    // When pError is given it receives the system's error code of a failed
    // open (ERROR_SHARING_VIOLATION while another window holds the file).
    BOOL Load(DWORD* pError = nullptr);
    // Writes <settings folder>\wndset.def, creating the user folder when it is
    // missing. FALSE when the folder or the file cannot be made or written.
    BOOL Save();

    // Load() and Save() for an explicit file path and folder.
    BOOL LoadFrom(const CString& filePath, DWORD* pError = nullptr);
    BOOL SaveTo(const CString& folder);

    // <settings folder>\wndset.def.
    static CString GetFilePath();

    int m_nAlpha;              // opacity percent, 10..100 (100: opaque)
    int m_nZoomValue;          // percent in zoom mode 1, pixel limit in modes 2..4
    int m_nZoomMode;           // a ZoomMode
    REBARBANDINFOA m_bandInfo; // only wID (band position), fStyle and cx are used
    BOOL m_bFrameless;
    BOOL m_bStatusBar;
    BOOL m_bTopMost;

private:
    void ReadValues(CArchive& ar);
    void SanitizeLoadedValues();
};
