// AfxBeginThread: a worker thread started and forgotten.
#include "thread.h"

#include <system_error>
#include <thread>

bool AfxBeginThread(AFX_THREADPROC proc, void* param) {
    try {
        std::thread(proc, param).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}
