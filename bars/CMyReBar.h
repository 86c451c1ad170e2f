// The frame's rebar, holding the menu bar in its one band. When the band is
// too narrow for all menu buttons, its chevron drops down a menu of the
// hidden menus. The program exports the class under its own names.
#pragma once

#include "CReBar.h"

class __declspec(dllexport) CMyReBar : public CReBar {
public:
    CMyReBar();
    ~CMyReBar() override;

    // Index of the first band whose child is pWnd; the band count when none is.
    UINT GetBandPos(CWnd* pWnd) const;

protected:
    void OnChevronPushed(NMHDR* pNotifyStruct, LRESULT* pResult);
    void OnChildSize(NMHDR* pNotifyStruct, LRESULT* pResult);
    void OnLayoutChanged(NMHDR* pNotifyStruct, LRESULT* pResult);
    void OnContextMenu(HWND hWnd, POINT point);

    // The chevron menu's submenus belong to the frame's menu bar: their
    // opening, highlighting and owner-drawn items are the frame's business.
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnUninitMenuPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
    LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    LRESULT SendToParent(UINT message, WPARAM wParam, LPARAM lParam) const;
};
