#include "settings/WindowSettings.h"

#include <climits>
#include <cstring>

#include "CArchive.h"
#include "CFile.h"
#include "settings/SettingsFolder.h"

namespace {

const char kDamagedText[] = "ウィンドウ設定のバックアップからの回復に失敗しました\r\nウィンドウ設定を初期値に戻します";

} // namespace

// cx has no default of its own: it starts at 0, which lets the rebar choose.
WindowSettings::WindowSettings()
{
    std::memset(&m_bandInfo, 0, sizeof m_bandInfo);
    m_bandInfo.cbSize = sizeof m_bandInfo;
    ResetToDefaults();
}

WindowSettings::~WindowSettings() = default;

void WindowSettings::ResetToDefaults()
{
    m_nAlpha = 100;
    m_nZoomValue = 0;
    m_nZoomMode = ZOOM_ANY;
    m_bandInfo.fStyle = RBBS_BREAK;
    m_bandInfo.wID = 0;
    m_bFrameless = FALSE;
    m_bStatusBar = TRUE;
    m_bTopMost = FALSE;
}

CString WindowSettings::GetFilePath()
{
    return GetSettingsFilePath(kFileName);
}

BOOL WindowSettings::Load(DWORD* pError)
{
    return LoadFrom(GetFilePath(), pError);
}

BOOL WindowSettings::Save()
{
    return SaveTo(GetSettingsFolder());
}

// Reads the values the version lists, each field stored as soon as it is
// read. Version 4 and older have no zoom mode, 3 and older no topmost flag
// (which then keeps its value); 1 and 2 carry one and three unused integers.
void WindowSettings::ReadValues(CArchive& ar)
{
    int version = 0;
    ar >> version;
    ar >> m_bFrameless;
    ar >> m_nZoomValue;
    if (version >= 5)
        ar >> m_nZoomMode;
    ar >> m_bStatusBar;
    ar >> m_nAlpha;
    if (version >= 4)
        ar >> m_bTopMost;
    ar >> m_bandInfo.wID;
    ar >> m_bandInfo.fStyle;
    ar >> m_bandInfo.cx;
    const int unused = version == 1 ? 1 : version == 2 ? 3 : 0;
    for (int i = 0; i < unused; ++i) {
        int ignored = 0;
        ar >> ignored;
    }

    // Before version 5 the zoom value carried the mode: above 100 a maximum
    // width of value - 100 pixels, below 0 a maximum height of -value pixels,
    // 0 the free size ("任意" stored 0), otherwise a percent.
    if (version < 5) {
        if (m_nZoomValue == 0) {
            m_nZoomMode = ZOOM_ANY;
        } else if (m_nZoomValue > 100) {
            m_nZoomMode = ZOOM_FIX_WIDTH;
            m_nZoomValue -= 100;
        } else if (m_nZoomValue < 0) {
            m_nZoomMode = ZOOM_FIX_HEIGHT;
            m_nZoomValue = m_nZoomValue == INT_MIN ? INT_MAX : -m_nZoomValue;
        } else {
            m_nZoomMode = ZOOM_PERCENT;
        }
    }
}

// Values the program itself never stores are replaced, so later code never
// sees them: an opacity outside 10..100 (0 would make the window invisible)
// becomes 100, an unknown zoom mode becomes the free mode with value 0. Zoom
// values are kept as they are: the fixed-size dialog and the command line
// legitimately store any integer, 0 and negative ones included. The BOOL
// fields keep their stored value (any non-zero value means TRUE), and so do
// the band fields, which the frame masks and the rebar checks when applied.
void WindowSettings::SanitizeLoadedValues()
{
    if (m_nAlpha < 10 || m_nAlpha > 100)
        m_nAlpha = 100;
    if (m_nZoomMode < ZOOM_ANY || m_nZoomMode > ZOOM_FIX_BOTH) {
        m_nZoomMode = ZOOM_ANY;
        m_nZoomValue = 0;
    }
}

// A file that ends too early is answered with a message box (no owner) and
// the defaults, and the load counts as done. Any other read failure (a failing
// disk) also falls back to the defaults, silently, so the window still opens
// with usable values and the caller does not retry. The file is closed before
// the box appears, so other windows are not locked out while it waits.
BOOL WindowSettings::LoadFrom(const CString& filePath, DWORD* pError)
{
    CFile file;
    if (!file.Open(filePath, CFile::modeRead | CFile::shareCompat, pError))
        return FALSE;
    bool bFailed = false;
    bool bDataEnded = false;
    try {
        CArchive ar(&file, CArchive::load);
        ReadValues(ar);
        ar.Close();
    } catch (const CArchiveException& e) {
        bFailed = true;
        bDataEnded = e.m_cause == CArchiveException::endOfFile;
    }
    file.Close();

    if (!bFailed) {
        SanitizeLoadedValues();
        return TRUE;
    }
    if (bDataEnded)
        ShowDamagedFileMessage(kDamagedText);
    ResetToDefaults();
    return TRUE;
}

// A write failure (a full disk) returns FALSE like a failed open; the values
// stay in memory and the file may be left short, which the next load answers
// with the defaults.
BOOL WindowSettings::SaveTo(const CString& folder)
{
    if (!EnsureSettingsFolder(folder))
        return FALSE;
    CFile file;
    if (!file.Open(folder + "\\" + kFileName, CFile::modeCreate | CFile::modeWrite | CFile::shareCompat))
        return FALSE;
    try {
        CArchive ar(&file, CArchive::store);
        ar << kFormatVersion;
        ar << m_bFrameless;
        ar << m_nZoomValue;
        ar << m_nZoomMode;
        ar << m_bStatusBar;
        ar << m_nAlpha;
        ar << m_bTopMost;
        ar << m_bandInfo.wID;
        ar << m_bandInfo.fStyle;
        ar << m_bandInfo.cx;
        ar.Close();
    } catch (const CArchiveException&) {
        return FALSE;
    }
    file.Close();
    return TRUE;
}
