// AfxBeginThread: a worker thread started and forgotten.
#pragma once

using AFX_THREADPROC = unsigned int (*)(void* param);

// Starts `proc` on a thread of its own that nobody waits for; false when no thread could be made.
bool AfxBeginThread(AFX_THREADPROC proc, void* param);
