// The settings file "sitecheck.ini": written whole at every Start, read once at start-up.
#include <algorithm>
#include <optional>
#include <string>

#include "code_page.h"
#include "file_exception.h"
#include "monitor_dlg.h"
#include "settings_text.h"
#include "std_file.h"
#include "win_app.h"

namespace {

const char kSettingsFile[] = "sitecheck.ini";
const char kDamaged[] = "配置文件已损坏!";

// What the file holds; nothing when there is no file that can be opened. A file that cannot
// be read once open reads as damaged.
std::optional<core::SettingsReading> ReadSettingsFile() {
    std::optional<CFile> file;
    try {
        file.emplace(kSettingsFile, CFile::modeRead);
    } catch (const CFileException&) {
        return std::nullopt;
    }
    try {
        // One byte past the limit is enough to tell the file is too long.
        std::string bytes(static_cast<size_t>(std::min<ULONGLONG>(file->GetLength(), core::kMaxSettingsSize + 1)), '\0');
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

// Windows refuses to replace a read-only file, Wine's rename does not: the tool refuses as Windows does.
void RefuseReadOnly(const CString& fileName) {
    const DWORD attributes = ::GetFileAttributesW(Widen(fileName.View()).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ThrowFileException(ERROR_ACCESS_DENIED, fileName);
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
    if (!::MoveFileExW(Widen(replacement.View()).c_str(), Widen(fileName.View()).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(Widen(replacement.View()).c_str());
        ThrowFileException(error, fileName);
    }
}

}  // namespace

void CMonitorDlg::LoadSettings() {
    m_btnStop.ShowWindow(SW_HIDE);
    m_spinInterval.SetRange(kMinInterval, kMaxInterval);
    ApplySettings(ReadSettingsFile().value_or(core::SettingsReading()));
}

void CMonitorDlg::ApplySettings(const core::SettingsReading& reading) {
    const core::Settings& settings = reading.settings;
    m_editURL.SetWindowText(settings.url.c_str());
    m_chkForward.SetCheck(settings.forward ? BST_CHECKED : BST_UNCHECKED);
    m_editFlag.SetWindowText(settings.flag.c_str());
    if (reading.intervalGiven) m_spinInterval.SetPos(settings.interval);
    if (reading.damaged) AfxMessageBox(kDamaged);
}

void CMonitorDlg::SaveSettings(int interval) {
    const core::Settings settings = {std::string(m_strURL.View()), m_chkForward.GetCheck() != 0,
                                     std::string(m_strFlag.View()), interval};
    WriteReplacing(kSettingsFile, core::SettingsText(settings));
}
