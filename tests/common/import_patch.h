// ImportPatch: one function that a module imports, replaced in its import table while the object lives.
//
// The tool and the tests link their code statically, so every call they make into a system DLL
// goes through their own module's import table, or its delay-import table for a DLL loaded at first
// use: replacing an entry there catches exactly their calls and nobody else's.
#pragma once

#include <windows.h>

#include <cstring>

class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, const void* replacement) {
        auto* base = reinterpret_cast<BYTE*>(module);
        m_slot = FindSlot(base, dll, function);
        if (m_slot != nullptr) {
            m_original = *m_slot;
            m_function = m_original;
        } else if ((m_slot = FindDelayedSlot(base, dll, function)) != nullptr) {
            m_original = *m_slot;
            // Until its first call the slot holds the loading stub, which would write the real function over
            // the replacement: the real one comes from the DLL itself.
            m_function = reinterpret_cast<const void*>(GetProcAddress(LoadLibraryA(dll), function));
        }
        if (m_slot != nullptr) Write(replacement);
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
        return reinterpret_cast<Function>(m_function);
    }

private:
    static const IMAGE_NT_HEADERS* Headers(BYTE* base) {
        return reinterpret_cast<const IMAGE_NT_HEADERS*>(base +
                                                         reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    }

    static const void** FindSlot(BYTE* base, const char* dll, const char* function) {
        const IMAGE_DATA_DIRECTORY& imports = Headers(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (imports.VirtualAddress == 0) return nullptr;
        for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             entry->Name != 0; ++entry) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
            const DWORD namesAt = entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
            if (const void** slot = FindInTable(base, namesAt, entry->FirstThunk, function)) return slot;
        }
        return nullptr;
    }

    // The GNU linker leaves the delay-import directory empty: the descriptors lie in the code section,
    // each naming its DLL.
    static const void** FindDelayedSlot(BYTE* base, const char* dll, const char* function) {
        const IMAGE_NT_HEADERS* nt = Headers(base);
        const DWORD imageSize = nt->OptionalHeader.SizeOfImage;
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
        for (WORD index = 0; index < nt->FileHeader.NumberOfSections; ++index, ++section) {
            if ((section->Characteristics & IMAGE_SCN_CNT_CODE) == 0) continue;
            const DWORD end = section->VirtualAddress + section->Misc.VirtualSize;
            for (DWORD at = section->VirtualAddress; at + sizeof(IMAGE_DELAYLOAD_DESCRIPTOR) <= end; at += 4) {
                const auto* entry = reinterpret_cast<const IMAGE_DELAYLOAD_DESCRIPTOR*>(base + at);
                if (entry->Attributes.AllAttributes != 1 || entry->DllNameRVA == 0 || entry->DllNameRVA >= imageSize ||
                    entry->ImportNameTableRVA == 0 || entry->ImportNameTableRVA >= imageSize ||
                    entry->ImportAddressTableRVA == 0 || entry->ImportAddressTableRVA >= imageSize ||
                    lstrcmpiA(reinterpret_cast<const char*>(base + entry->DllNameRVA), dll) != 0) {
                    continue;
                }
                return FindInTable(base, entry->ImportNameTableRVA, entry->ImportAddressTableRVA, function);
            }
        }
        return nullptr;
    }

    static const void** FindInTable(BYTE* base, DWORD namesAt, DWORD slotsAt, const char* function) {
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesAt);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + slotsAt);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                return reinterpret_cast<const void**>(&slots->u1.Function);
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

    const void** m_slot = nullptr;
    const void* m_original = nullptr;  // what the slot held, put back at the end
    const void* m_function = nullptr;  // the function itself
};
