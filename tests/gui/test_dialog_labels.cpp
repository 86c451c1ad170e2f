// The labels of the program's dialogs fit their controls: each static text
// and button measured in the control's own font (the template's ＭＳ Ｐゴシック,
// which every Wine prefix of the project maps to a font of the same metrics)
// against the room the control gives its text. The templates were laid out
// for the Windows fonts, and one label is a little too narrow for its stand-in:
// "（最大50）" may lose its closing parenthesis, no more. A one-line label
// whose text is too wide must not wrap either: a static wraps before "50）",
// and the second line lies below the label, out of sight.
#include <mbstring.h>

#include "GuiHarness.h"
#include "support/MessageBoxCapture.h"

namespace {

struct Label {
    std::string text;
    int extent;        // of the whole text, in the control's font
    int extentButLast; // of the text without its last character
    int room;          // the width the control gives its text
    bool bWraps;       // a static that breaks a line too long into two
};

// The text as drawn: a single '&' marks the mnemonic and is not drawn.
std::string DrawnText(const std::string& text, bool bNoPrefix)
{
    if (bNoPrefix)
        return text;
    std::string drawn;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        drawn += text[i];
    }
    return drawn;
}

int ExtentOf(HDC hdc, const std::string& text)
{
    SIZE size = {};
    ::GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The room for the text: a push button's face inside its edges, a check box's
// width beside its box and the gap the system's button leaves (half a digit),
// a static's whole width. 0 for controls that show no text.
int RoomFor(HWND hCtl, HDC hdc)
{
    const std::string cls = ClassNameOf(hCtl);
    const LONG style = ::GetWindowLongA(hCtl, GWL_STYLE);
    const int width = ClientSizeOf(hCtl).cx;
    if (_stricmp(cls.c_str(), "Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        const bool bText =
            type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
        return bText ? width : 0;
    }
    if (_stricmp(cls.c_str(), "Button") != 0)
        return 0;
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON: return width - 2 * ::GetSystemMetrics(SM_CXEDGE);
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        INT digit = 0;
        ::GetCharWidth32A(hdc, '0', '0', &digit);
        return width - ::GetSystemMetrics(SM_CXMENUCHECK) - digit / 2;
    }
    default: return 0;
    }
}

std::vector<Label> MeasureLabels(HWND hDlg)
{
    std::vector<Label> labels;
    for (HWND h = ::GetWindow(hDlg, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        HDC hdc = ::GetDC(h);
        HGDIOBJ old = ::SelectObject(hdc, reinterpret_cast<HFONT>(::SendMessageA(h, WM_GETFONT, 0, 0)));
        const int room = RoomFor(h, hdc);
        const bool bNoPrefix =
            _stricmp(ClassNameOf(h).c_str(), "Static") == 0 && (::GetWindowLongA(h, GWL_STYLE) & SS_NOPREFIX);
        const std::string text = DrawnText(WindowTextOf(h), bNoPrefix);
        if (room > 0 && !text.empty()) {
            const auto* begin = reinterpret_cast<const unsigned char*>(text.c_str());
            const auto* last = _mbsdec(begin, begin + text.size());
            const std::string butLast = text.substr(0, static_cast<size_t>(last - begin));
            const bool bWraps = _stricmp(ClassNameOf(h).c_str(), "Static") == 0 &&
                                (::GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK) == SS_LEFT;
            labels.push_back({text, ExtentOf(hdc, text), ExtentOf(hdc, butLast), room, bWraps});
        }
        ::SelectObject(hdc, old);
        ::ReleaseDC(h, hdc);
    }
    return labels;
}

// Runs open (which shows a modal dialog of the program), measures the labels
// of the dialog and cancels it.
std::vector<Label> LabelsOfDialog(const std::function<void()>& open)
{
    std::vector<Label> labels;
    bool bSeen = false;
    MessageBoxCapture capture;
    capture.SetDialogHandler([&](HWND hDlg) {
        bSeen = true;
        labels = MeasureLabels(hDlg);
        ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    open();
    EXPECT_TRUE(bSeen) << "the dialog did not come up";
    return labels;
}

// Every label fits, but "（最大50）", which may lose its last character.
void ExpectLabelsFit(const std::vector<Label>& labels)
{
    for (const Label& label : labels) {
        if (label.text == "（最大50）") {
            EXPECT_LE(label.extentButLast, label.room)
                << label.text << " loses more than its closing parenthesis: " << label.extent << " px in "
                << label.room;
            EXPECT_FALSE(label.bWraps && label.extent > label.room) << label.text << " wraps out of sight";
        } else
            EXPECT_LE(label.extent, label.room)
                << label.text << " is cut off: " << label.extent << " px in " << label.room;
    }
}

} // namespace

TEST_F(FrameTest, LabelsOfTheAboutHistoryAndFixedSizeDialogsFit)
{
    ASSERT_NE(CreateFrame(), nullptr);
    // The about box is its template alone (no code of its own), and to the
    // message-box hook it looks like a message box: it is made modeless here.
    HWND hAbout = ::CreateDialogParamA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), m_pFrame->m_hWnd,
        [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR { return message == WM_INITDIALOG; }, 0);
    ASSERT_NE(hAbout, nullptr);
    const std::vector<Label> about = MeasureLabels(hAbout);
    ::DestroyWindow(hAbout);
    const std::vector<Label> history = LabelsOfDialog([this] { Command(ID_HISTORY_SETTINGS); });
    const std::vector<Label> fixed = LabelsOfDialog([this] { Command(ID_ZOOM_FIX_BOTH); });

    // Two texts and OK; six texts, the check box, OK and cancel; one text, OK and cancel.
    EXPECT_EQ(about.size(), 3u);
    EXPECT_EQ(history.size(), 9u);
    EXPECT_EQ(fixed.size(), 3u);
    ExpectLabelsFit(about);
    ExpectLabelsFit(history);
    ExpectLabelsFit(fixed);
}
