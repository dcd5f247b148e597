// The settings file "sitecheck.ini": read once at start-up, written whole at every Start.
#include "settings_file.h"

#include <algorithm>
#include <string>

#include "code_page.h"
#include "file_exception.h"
#include "std_file.h"

namespace monitor {
namespace {

const char kSettingsFile[] = "sitecheck.ini";
// A file just written is opened at once by a virus scanner, and while it is held a move over it or of it fails
// with a sharing violation or access denied: the move is tried again, with a growing pause, for about a second.
constexpr int kMoveTries = 10;
constexpr DWORD kMovePauseMs = 25;

// Windows refuses to replace a read-only file, Wine's rename does not: the tool refuses as Windows does.
void RefuseReadOnly(const CString& fileName) {
    const DWORD attributes = ::GetFileAttributesW(Widen(fileName.View()).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ThrowFileException(ERROR_ACCESS_DENIED, fileName);
    }
}

bool MayPassSoon(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED; }

// ERROR_SUCCESS, or the error of the last try.
DWORD MoveOver(const std::wstring& from, const std::wstring& to) {
    for (int tries = 1;; ++tries) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return ERROR_SUCCESS;
        }
        const DWORD error = ::GetLastError();
        if (!MayPassSoon(error) || tries == kMoveTries) return error;
        ::Sleep(kMovePauseMs * tries);
    }
}

// Writes the text beside the file and moves it over in one step, so a failed write never
// leaves the user with neither the old settings nor the new. Failures name the file itself.
void WriteReplacing(const CString& fileName, const std::string& text) {
    RefuseReadOnly(fileName);
    const CString replacement = fileName + ".new";
    try {
        CFile file(replacement, CFile::modeCreate | CFile::modeWrite);
        file.Write(text.data(), static_cast<UINT>(text.size()));
        file.Flush();
    } catch (const CFileException& failure) {
        ::DeleteFileW(Widen(replacement.View()).c_str());
        throw CFileException(failure.m_cause, fileName);
    }
    const DWORD error = MoveOver(Widen(replacement.View()), Widen(fileName.View()));
    if (error != ERROR_SUCCESS) {
        ::DeleteFileW(Widen(replacement.View()).c_str());
        ThrowFileException(error, fileName);
    }
}

}  // namespace

std::optional<core::SettingsReading> ReadSettingsFile() {
    std::optional<CFile> file;
    try {
        file.emplace(kSettingsFile, CFile::modeRead);
    } catch (const CFileException&) {
        return std::nullopt;
    }
    try {
        // One byte past the limit is enough to tell the file is too long.
        std::string bytes(static_cast<size_t>(std::min<ULONGLONG>(file->GetLength(), core::kMaxSettingsSize + 1)),
                          '\0');
        size_t read = 0;
        while (read < bytes.size()) {
            const UINT got = file->Read(bytes.data() + read, static_cast<UINT>(bytes.size() - read));
            if (got == 0) break;
            read += got;
        }
        bytes.resize(read);
        return core::ReadSettings(bytes);
    } catch (const CFileException&) {
        return core::ReadSettings({});
    }
}

void WriteSettingsFile(const core::Settings& settings) { WriteReplacing(kSettingsFile, core::SettingsText(settings)); }

}  // namespace monitor
