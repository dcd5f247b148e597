// Records the message boxes that this thread opens and closes each at once with OK.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct SeenBox {
    std::wstring title;
    std::wstring text;
    HICON icon;  // the system icon the box shows, compare with LoadIcon(nullptr, IDI_...)
};

class MessageBoxSpy {
public:
    MessageBoxSpy();
    ~MessageBoxSpy();
    MessageBoxSpy(const MessageBoxSpy&) = delete;
    MessageBoxSpy& operator=(const MessageBoxSpy&) = delete;

    const std::vector<SeenBox>& Boxes() const { return m_boxes; }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK DismissBox(HWND box, UINT, UINT_PTR, DWORD);

    HHOOK m_hook;
    std::vector<SeenBox> m_boxes;
};
