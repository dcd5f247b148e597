// AbandonFlag: set by the thread that stopped waiting for a fetch; the fetch looks at it before each call.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>

#include "internet_exception.h"

// A fetch that has been given up ends at its next call, on its own thread, and closes its handles there as it
// unwinds. No other thread closes them, so no call can meet a handle value that WinINet has since given to
// another session.
class AbandonFlag {
public:
    void Set() { m_set = true; }
    // Throws, as a cancelled operation, once the flag is set.
    void ThrowIfSet() const {
        if (m_set) throw CInternetException(ERROR_INTERNET_OPERATION_CANCELLED);
    }

private:
    std::atomic<bool> m_set{false};
};
