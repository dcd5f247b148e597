// CTrayIcon: one icon in the notification area, whose mouse events become the owner's menu commands.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "object.h"

class CWnd;

// Adds and removes one notification-area icon, and turns what the shell reports of the mouse
// over it into commands of the owner window, through the menu whose resource id is the icon's.
// The icon handle stays the owner's.
class CTrayIcon : public CObject {
public:
    CTrayIcon();
    ~CTrayIcon() override;
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // TRUE when the shell took the icon, after a few tries over a short while. An icon already shown
    // goes first; a tip longer than the record holds is cut at a character.
    BOOL AddToTray(CWnd* pWnd, UINT nCallbackMessage, LPCSTR pszTip, HICON hIcon, UINT nID);
    // The shell's answer; FALSE, without asking the shell, when the icon is not in the notification area.
    BOOL RemoveFromTray();
    // The owner's answer to its callback message: 0 for another icon or a missing menu, else 1.
    virtual LRESULT HandleTrayMessage(WPARAM wParam, LPARAM lParam);

protected:
    BOOL m_bInTray;
    // Given to the shell in its first layout, whose tip holds 64 characters with the terminating zero.
    NOTIFYICONDATAW m_iconData;

private:
    BOOL AskShellToAdd();
    LRESULT ShowMenu() const;
    LRESULT SendDefaultCommand() const;
};
