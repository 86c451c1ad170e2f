// The view: the frame's one child window, which holds the image (its bytes in
// a global memory block, a stream over them and the decoded GDI+ image) and
// paints it at the current zoom, rotation and mirror.
#pragma once

#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include "CBitmap.h"
#include "CDC.h"
#include "CString.h"
#include "CWnd.h"
#include "history/HistoryList.h"
#include "settings/WindowSettings.h"
#include "view/ImageGeometry.h"

class CImageView : public CWnd {
public:
    CImageView();
    ~CImageView() override;

    // Loads the file and makes it the image of this window. Failures are
    // reported by message box; the result is always TRUE (test m_pImage).
    BOOL LoadImageFile(CString path);
    // The same; with bAddToHistory FALSE (a picture stepped to in its folder)
    // the history is left as it is, and a retry that is still waiting adds
    // the picture it was waiting for.
    BOOL LoadImageFile(CString path, BOOL bAddToHistory);

    // The display rectangle in screen coordinates, centred on the view;
    // FALSE (and lpRect untouched) when no image is shown.
    BOOL GetImageRect(RECT* lpRect);
    // In the free zoom mode, takes the zoom factor from the view's size.
    void UpdateFreeZoom();

    void RotateRight();
    void RotateLeft();
    void FlipHorizontal();
    void FlipVertical();

    // Starts another process of this program for the image path.
    BOOL OpenInNewInstance(CString path);
    // How OpenInNewInstance starts the process (the shell's ShellExecuteExA;
    // tests put a recorder here instead).
    static BOOL(WINAPI* s_pfnShellExecuteEx)(SHELLEXECUTEINFOA* pInfo);

    // Reads the frame count and the frame delays of the image; TRUE when it
    // has more than one frame to play.
    BOOL ReadFrameInfo();
    // How long frame nFrame stays on the screen, in milliseconds.
    UINT GetFrameDelayMs(int nFrame) const;

    IStream* m_pStream = nullptr;
    HGLOBAL m_hImageData = nullptr;
    WindowSettings m_settings;
    double m_dFreeZoom = 1.0;
    int m_nZoomPercent = 0;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    Gdiplus::GpImage* m_pImage = nullptr;
    BOOL m_bCoverView = FALSE;
    HistoryList m_history;
    BOOL m_bNeedMemDC = TRUE;
    CDC m_memDC;
    CBitmap m_bitmap;
    void* m_pFrameDelays = nullptr;
    int m_nFrameCount = 0;
    int m_nCurFrame = 0;
    CString m_strPath;
    // The path of the last load, shown or failed: the step keys go on from it.
    CString m_strLastLoadPath;
    int m_nRotation = 0;
    BOOL m_bMirrored = FALSE;

protected:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // A left press is taken here: with Shift it starts the pulse, frameless
    // it drags the window.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnPaint();
    BOOL OnEraseBkgnd(HDC hdc);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDropFiles(HDROP hDropInfo);
    void OnRButtonDown(UINT nFlags, POINT point);
    void OnLButtonDblClk(UINT nFlags, POINT point);
    // The wheel steps the zoom through the percent items, with Ctrl the
    // translucency through its items, as the frame's commands.
    BOOL OnMouseWheel(UINT nFlags, short zDelta, POINT point);
    // The side buttons (and a keyboard's back and forward keys) step to the
    // previous and next picture of the folder.
    void OnXButtonUp(UINT nFlags, UINT nButton, POINT point);
    LRESULT OnAppCommand(HWND hWnd, UINT nCmd, UINT nDevice, UINT nKey);
    DECLARE_MESSAGE_MAP()

private:
    // Deletes the image, then the stream (which frees the memory block), or
    // the block itself when no stream was made over it.
    void ReleaseImage();
    // Repaints the whole view at once (also when it has become empty, and
    // then the status line with it).
    void RepaintNow();
    SIZE GetDisplaySize() const;
    void FillOutsideDisplay(HDC hdc, SIZE display);
    // Draws a metafile into dest on hdc itself when it holds an ellipse too
    // large to draw there, leaving that out; false otherwise.
    bool DrawMetafileWithHugeEllipsesLeftOut(HDC hdc, const RECT& dest);
    void SelectFrame(int nFrame);
    // Replaces a still, opaque picture by a 32-bit RGB copy of its own.
    void ConvertForDrawing();
    HGDIOBJ m_hStockBitmap = nullptr; // the memory DC's own bitmap, put back before the DC goes
    SIZE m_sizeBitmap = {0, 0};       // the size of m_bitmap, kept from paint to paint
    bool m_bOpaqueStill = false;      // a still bitmap without transparency is shown
    // Has m_bitmap (selected into m_memDC) hold at least the part source.
    BOOL PrepareOffscreen(HDC hdc, const RECT& source);
    void ReleaseOffscreen();
    void DrawPart(const DrawnSize& drawn, SIZE bitmap, const RECT& source);
    // The pulse's paint: the part source of the picture scaled to drawn, from
    // a copy drawn once at the largest size.
    void DrawCoverPart(const DrawnSize& drawn, const RECT& source);
    void DropCoverCopy();
    CDC m_coverDC;
    CBitmap m_coverCopy;
    SIZE m_sizeCoverCopy = {0, 0};
    HGDIOBJ m_hCoverStockBitmap = nullptr;
    // Changes the turn and mirror state as one of the four operations says.
    void ApplyTransform(TransformState (*operation)(TransformState));
    // Loads a dropped file into this window and has the frame fit it.
    void LoadDropped(const CString& path);
    // Reads the file into m_hImageData, with the wait cursor. FALSE after a
    // message (or silently when only the memory block could not be had).
    BOOL ReadFileIntoMemory(const CString& path, SIZE_T* pcbData);
    // Sends the frame a command, as the mouse input of the view does.
    void SendToFrame(UINT nID);

    // The path the history retry adds: the path of the last load that went
    // into the history (empty when it failed). Loads that keep out of the
    // history leave it alone.
    CString m_strHistoryPath;
    // Parts of a wheel notch not yet acted on, for the zoom and (Ctrl) the
    // translucency.
    int m_nZoomWheel = 0;
    int m_nAlphaWheel = 0;
};
