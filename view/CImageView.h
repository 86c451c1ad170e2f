// The view: the frame's one child window, which holds the picture shown and
// paints it at the current zoom, rotation and mirror, plays its animation and
// takes the mouse and the files dropped on it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>

#include "CString.h"
#include "CWnd.h"
#include "history/HistoryList.h"
#include "image/CPicture.h"
#include "settings/WindowSettings.h"
#include "view/CAnimationPlayer.h"
#include "view/CCoverCopy.h"
#include "view/CFileWatch.h"
#include "view/CKeptBitmap.h"
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

    // Shows a picture decoded elsewhere (ahead, on the worker, or anew after
    // its file changed) exactly as LoadImageFile shows one it decoded
    // itself: without a picture the view is left empty with the message the
    // decode's result calls for, as a load would. `stamp` is the file's, as
    // it was before the read (what the watch of the file starts from).
    BOOL ShowDecodedPicture(std::unique_ptr<CPicture> picture, PictureResult result, CString path, BOOL bAddToHistory,
                            const FileStamp& stamp);

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

    // Takes the frames of the picture shown; TRUE when it has more than one
    // frame to play.
    BOOL ReadFrameInfo();
    // How long frame nFrame of the picture shown stays on the screen, in
    // milliseconds.
    UINT GetFrameDelayMs(int nFrame) const;

    // The picture shown; null when the view is empty.
    std::unique_ptr<CPicture> m_pImage;
    // Where a picture the view lets go is freed when set (the frame frees
    // them on a thread of their own); else it is freed at once.
    std::function<void(std::unique_ptr<CPicture>)> m_releasePicture;
    WindowSettings m_settings;
    double m_dFreeZoom = 1.0;
    int m_nZoomPercent = 0;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    BOOL m_bCoverView = FALSE;
    HistoryList m_history;
    // The part of the window the last paint showed, as it showed it: a
    // repaint of an unchanged view is one block transfer from it. The
    // scratch bitmap a turned or mirrored picture is drawn into first, and the
    // pulse's copy.
    CKeptBitmap m_kept;
    CKeptBitmap m_offscreen;
    CCoverCopy m_coverCopy;
    // The frames of an animation (view timer 2).
    CAnimationPlayer m_animation;
    CString m_strPath;
    // The path of the last load, shown or failed: the step keys go on from it.
    CString m_strLastLoadPath;
    // How many loads began (a step waiting for its picture tells from it
    // whether another picture was opened meanwhile).
    unsigned m_nLoadCount = 0;

    // While the frame waits for a picture decoded on the worker, the view
    // shows the wait cursor (and keeps answering).
    void SetWaiting(BOOL bWaiting);
    BOOL IsWaiting() const { return m_bWaiting; }
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
    BOOL OnSetCursor(HWND hWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    // Timers of the view window.
    static constexpr UINT_PTR kHistoryRetryTimer = 1;
    static constexpr UINT_PTR kFrameTimer = 2;
    // The scratch bitmap goes a second after paints stop (an animation, the
    // pulse or a window dragged over the picture paint on and on); the kept
    // copy of the screen goes 1.5 s after the last paint: it serves the
    // repaints that come in bursts (a window or a menu passing over, the
    // frame's own refits, a task switch and back), while a window at rest
    // holds no more than its picture (up to a screen's worth more otherwise,
    // which the memory a window may hold at rest has no room for).
    static constexpr UINT_PTR kIdleBitmapTimer = 3;
    static constexpr UINT kIdleBitmapMs = 1000;
    static constexpr UINT_PTR kKeptIdleTimer = 4;
    static constexpr UINT kKeptIdleMs = 1500;

    // What the pixels of a paint depend on besides the part of the window it
    // covers: the picture and its frame, the display size, the drawn size,
    // the transform on the screen and the pulse's cover.
    struct PaintKey {
        unsigned version;
        SIZE display;
        DrawnSize drawn;
        TransformState shown;
        bool cover;
        bool operator==(const PaintKey& other) const;
    };
    bool DrawKept(HDC hdc, const PaintKey& key, SIZE bitmap, const RECT& visible);
    void ForgetKept() { m_bKept = false; }
    RECT m_rcKept = {0, 0, 0, 0}; // where the kept part lies in the client area
    PaintKey m_keyKept = {};
    bool m_bKept = false;
    unsigned m_nPictureVersion = 0; // a new picture or frame
    BOOL m_bWaiting = FALSE;

    // Lets the picture go, with what was drawn of it: freed through
    // m_releasePicture when bFreeAside (and it is set), else at once.
    void ReleaseImage(bool bFreeAside = true);
    // Repaints the whole view at once (also when it has become empty, and
    // then the status line with it).
    void RepaintNow();
    SIZE GetDisplaySize() const;
    // Reads and decodes the file, with the wait cursor; reports a failure by
    // message box (or silently when only memory was short). `stamp` gets the
    // file's stamp from before the read.
    std::unique_ptr<CPicture> ReadPicture(const CString& path, FileStamp* stamp);
    // The message a failed load shows ("ファイルがオープンできません",
    // "未対応のフォーマットです"), after the view is repainted empty.
    void ReportFailure(PictureResult result);
    // The view returns to empty before a new picture: the title "KEP" unless
    // a decoded picture is titled at once, the old picture freed at once or
    // (when the new one is decoded already) aside.
    void BeginLoad(const CString& path, BOOL bAddToHistory, bool bBlankTitle, bool bFreeAside);
    // Makes the picture the one shown: its path, size, title, status, the
    // history and its animation.
    void ShowPicture(std::unique_ptr<CPicture> picture, const CString& path, BOOL bAddToHistory,
                     const FileStamp& stamp);
    // Changes the turn and mirror state as one of the four operations says.
    void ApplyTransform(TransformState (*operation)(TransformState));
    // Loads a dropped file into this window and has the frame fit it.
    void LoadDropped(const CString& path);
    // Sends the frame a command, as the mouse input of the view does.
    void SendToFrame(UINT nID);
    // Shows the picture of the shown file decoded anew after it changed: in
    // place of the old one, as no new load (the watch goes on, a step that
    // waits for its picture still counts, the history is left alone).
    void ShowChangedFile(std::unique_ptr<CPicture> picture);

    // The path the history retry adds: the path of the last load that went
    // into the history (empty when it failed). Loads that keep out of the
    // history leave it alone.
    CString m_strHistoryPath;
    // Parts of a wheel notch not yet acted on, for the zoom and (Ctrl) the
    // translucency.
    int m_nZoomWheel = 0;
    int m_nAlphaWheel = 0;

public:
    // Follows the file shown while another program rewrites it.
    CFileWatch m_fileWatch;
};
