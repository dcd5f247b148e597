// ImportPatch: one function that a module imports, replaced in its import table while the object lives.
//
// The tool and the tests link their code statically, so every call they make into a system DLL
// goes through their own module's import table: replacing an entry there catches exactly their
// calls and nobody else's.
#pragma once

#include <windows.h>

#include <cstring>

class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, const void* replacement)
        : m_slot(FindSlot(module, dll, function)) {
        if (m_slot == nullptr) return;
        m_original = *m_slot;
        Write(replacement);
    }
    ~ImportPatch() {
        if (m_slot != nullptr) Write(m_original);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the module imports no such function: nothing was replaced.
    bool Applied() const { return m_slot != nullptr; }
    template <typename Function>
    Function Original() const {
        return reinterpret_cast<Function>(m_original);
    }

private:
    static const void** FindSlot(HMODULE module, const char* dll, const char* function) {
        auto* base = reinterpret_cast<BYTE*>(module);
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (imports.VirtualAddress == 0) return nullptr;
        for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             entry->Name != 0; ++entry) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
            const DWORD namesAt = entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
            const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesAt);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                    return reinterpret_cast<const void**>(&slots->u1.Function);
                }
            }
        }
        return nullptr;
    }

    void Write(const void* value) {
        DWORD protection = 0;
        VirtualProtect(m_slot, sizeof(*m_slot), PAGE_READWRITE, &protection);
        *m_slot = value;
        VirtualProtect(m_slot, sizeof(*m_slot), protection, &protection);
    }

    const void** m_slot;
    const void* m_original = nullptr;
};
