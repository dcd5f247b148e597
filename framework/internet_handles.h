// InternetHandles: the WinINet handles of one session, which another thread may close all at once.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <mutex>
#include <vector>

#include "std_file.h"

// Closing a handle from a second thread is WinINet's way of ending a call that blocks on it. Once the handles
// are cut, none of them is used or closed again: WinINet gives a closed handle's value to the next handle it
// makes, which may be another session's.
class InternetHandles {
public:
    // The handle, closed through this object when it goes; null stays null.
    UniqueHandle Own(HINTERNET handle);
    // Closes every handle still open, the newest first, so a page goes before its session.
    void Cut();
    // Called before each call on a handle: throws, as a cancelled operation, once the handles are cut.
    void ThrowIfCut() const;

private:
    void Close(HINTERNET handle);

    mutable std::mutex m_mutex;
    bool m_cut = false;
    std::vector<HINTERNET> m_open;  // in the order they were made
};
