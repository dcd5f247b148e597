// Message maps: a declarative table per class, searched from the class up to its bases.
#pragma once

#include <windows.h>

class CWnd;

using MessageHandler = LRESULT (*)(CWnd& wnd, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;
    UINT notifyCode;  // for WM_COMMAND: the notification code and control id to match
    UINT id;
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries;  // ends with an entry whose handler is null
};

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const MessageMap* GetThisMessageMap(); \
    const MessageMap* GetMessageMap() const override;

// The entries are lambdas inside a member of the class, so handlers may be protected. The table's macros
// open braces that others close and end in commas, which the formatter cannot follow.
// clang-format off
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const MessageMap* theClass::GetThisMessageMap() {                               \
        using ThisClass = theClass;                                                 \
        using TheBaseClass = baseClass;                                             \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                      \
        {0, 0, 0, nullptr}};                                                   \
        static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                           \
    }

#define MAP_HANDLER(body) [](CWnd& wnd, WPARAM wParam, LPARAM lParam) -> LRESULT { \
    auto& self = static_cast<ThisClass&>(wnd);                                       \
    (void)self; (void)wParam; (void)lParam;                                          \
    body                                                                             \
}

#define ON_COMMAND(id, memberFn) {WM_COMMAND, 0, id, MAP_HANDLER(self.memberFn(); return 0;)},
#define ON_BN_CLICKED(id, memberFn) {WM_COMMAND, BN_CLICKED, id, MAP_HANDLER(self.memberFn(); return 0;)},
#define ON_MESSAGE(message, memberFn) {message, 0, 0, MAP_HANDLER(return self.memberFn(wParam, lParam);)},
// A message whose number the system gives at run time (RegisterWindowMessage), held in a variable.
#define ON_REGISTERED_MESSAGE(messageVariable, memberFn) ON_MESSAGE(messageVariable, memberFn)

#define ON_WM_TIMER() {WM_TIMER, 0, 0, MAP_HANDLER(self.OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, MAP_HANDLER(self.OnClose(); return 0;)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, MAP_HANDLER(self.OnPaint(); return 0;)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, MAP_HANDLER(return reinterpret_cast<LRESULT>(self.OnQueryDragIcon());)},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, MAP_HANDLER(self.OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;)},
#define ON_WM_NCHITTEST() {WM_NCHITTEST, 0, 0, MAP_HANDLER(return self.OnNcHitTest(PointOf(lParam));)},
#define ON_WM_SETCURSOR()                                                                                      \
    {WM_SETCURSOR, 0, 0, MAP_HANDLER(return self.OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), \
                                                             HIWORD(lParam));)},
#define ON_WM_LBUTTONDOWN() \
    {WM_LBUTTONDOWN, 0, 0, MAP_HANDLER(self.OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam)); return 0;)},

// A parent's colour request for a child control (WM_CTLCOLORSTATIC and its kin), reflected to the
// child itself: wParam is the device context, lParam the CTLCOLOR_ kind.
constexpr UINT WM_REFLECT_CTLCOLOR = 0xBC19;
#define ON_WM_CTLCOLOR_REFLECT()                                                                           \
    {WM_REFLECT_CTLCOLOR, 0, 0, MAP_HANDLER(return reinterpret_cast<LRESULT>(                               \
                                    self.CtlColor(reinterpret_cast<HDC>(wParam), static_cast<UINT>(lParam)));)},
// clang-format on

// The signed coordinates packed into a mouse message's lParam.
inline POINT PointOf(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }
