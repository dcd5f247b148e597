// CStaticLink: a static text of a dialog turned into a link that the shell opens.
#pragma once

#include "controls.h"
#include "font.h"
#include "link_target.h"

// The link colours, shared by every link of the process.
inline constexpr COLORREF g_crLinkNormal = RGB(0, 0, 255);
inline constexpr COLORREF g_crLinkVisited = RGB(128, 0, 128);
inline constexpr COLORREF g_crLinkHover = RGB(255, 0, 0);

// The hand cursor that every link shows: looked for once per process, kept for its life.
extern HCURSOR g_hHandCursor;
extern BOOL g_bHandCursorTried;

// Draws its text in the link colours (red under the pointer, purple once opened), shows a hand
// over it and opens its target on a click. The text itself comes from the dialog template.
class CStaticLink : public CStatic {
public:
    CStaticLink() = default;

    // Set by the owner once the control is bound; found at the first click when left empty.
    CLinkTarget m_target;

protected:
    LRESULT OnNcHitTest(POINT point);
    HBRUSH CtlColor(HDC dc, UINT ctlColor);
    void OnLButtonDown(UINT flags, POINT point);
    BOOL OnSetCursor(HWND wnd, UINT hitTest, UINT message);
    void OnTimer(UINT_PTR nIDEvent);

    DECLARE_MESSAGE_MAP()

private:
    void CopyFontOfControl();

    COLORREF m_crText = g_crLinkNormal;
    CFont m_font;
    BOOL m_bHover = FALSE;
    UINT m_nTimerID = 1;
};
