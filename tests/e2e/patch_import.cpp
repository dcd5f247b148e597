// The benchmarks' redirect of one import: an ImportPatch kept until the program ends.
#include "patch_import.h"

#include <deque>

#include "import_patch.h"

namespace e2e {

void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    static std::deque<ImportPatch> patches;
    const ImportPatch& patch = patches.emplace_back(module, dll, function, replacement);
    return const_cast<void*>(patch.Original<const void*>());
}

}  // namespace e2e
