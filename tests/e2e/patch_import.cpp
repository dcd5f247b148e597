// Redirects one module's calls to a function it imports, to count from inside a process what that module does.
#include "patch_import.h"

#include <cstring>

namespace e2e {

namespace {

template <typename T>
T* At(HMODULE module, DWORD offset) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

const IMAGE_IMPORT_DESCRIPTOR* FindImports(HMODULE module, const char* dll) {
    const auto* nt = At<IMAGE_NT_HEADERS>(module, static_cast<DWORD>(At<IMAGE_DOS_HEADER>(module, 0)->e_lfanew));
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return nullptr;
    for (const auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress); entry->Name != 0; ++entry) {
        if (lstrcmpiA(At<const char>(module, entry->Name), dll) == 0) return entry;
    }
    return nullptr;
}

void* Swap(IMAGE_THUNK_DATA* slot, void* replacement) {
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection)) return nullptr;
    void* previous = reinterpret_cast<void*>(slot->u1.Function);
    slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
    VirtualProtect(slot, sizeof(*slot), protection, &protection);
    return previous;
}

}  // namespace

void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    const IMAGE_IMPORT_DESCRIPTOR* imports = FindImports(module, dll);
    if (imports == nullptr || imports->OriginalFirstThunk == 0) return nullptr;
    auto* names = At<IMAGE_THUNK_DATA>(module, imports->OriginalFirstThunk);
    auto* slots = At<IMAGE_THUNK_DATA>(module, imports->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        const auto* byName = At<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) return Swap(slots, replacement);
    }
    return nullptr;
}

}  // namespace e2e
