// The benchmarks' redirect of one import: an ImportPatch kept until the program ends.
#pragma once

#include <windows.h>

namespace e2e {

// Points the module's import of `function` from `dll` at `replacement` and returns what it called
// before; null when the module does not import it by name. Calls from other modules are untouched.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);

}  // namespace e2e
