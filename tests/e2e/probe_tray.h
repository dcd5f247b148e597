// A shell that refuses the tool's icon: its adds fail, inside the tool, through its import.
#pragma once

#include <windows.h>

#include <string>

#include "probe_protocol.h"

namespace probe {

// Redirects, once, the tool's import of Shell_NotifyIconW, so that its next `count` adds fail without
// reaching the shell (every one with kEveryTrayAdd); the rest of its calls go through. The answer is
// "refusing", or why not.
std::wstring RefuseTrayAdds(WORD count);

}  // namespace probe
