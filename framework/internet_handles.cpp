// InternetHandles: the WinINet handles of one session, which another thread may close all at once.
#include "internet_handles.h"

#include <algorithm>

#include "internet_exception.h"

// A handle that comes after the cut belongs to a session already closed, which took its handles with it.
UniqueHandle InternetHandles::Own(HINTERNET handle) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (handle != nullptr && !m_cut) m_open.push_back(handle);
    }
    return {handle, [this](HANDLE owned) { Close(owned); }};
}

void InternetHandles::Cut() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_cut = true;
    std::for_each(m_open.rbegin(), m_open.rend(), ::InternetCloseHandle);
    m_open.clear();
}

void InternetHandles::ThrowIfCut() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_cut) throw CInternetException(ERROR_INTERNET_OPERATION_CANCELLED);
}

void InternetHandles::Close(HINTERNET handle) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = std::find(m_open.begin(), m_open.end(), handle);
    if (found == m_open.end()) return;
    m_open.erase(found);
    ::InternetCloseHandle(handle);
}
