// The alarm as heard: what the tool plays through Wine's ALSA driver, recorded by the runner (--record-sound)
// into one file per play.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "http_fetch.h"
#include "pages.h"
#include "report_view.h"
#include "resource.h"
#include "tool_test.h"
#include "window_access.h"

namespace e2e {
namespace {

// A play lasts about 2.3 s; on a busy machine Wine may take longer to start it.
constexpr auto kPlayTimeout = 30s;
constexpr auto kExitTimeout = 5s;

// The samples of the tool's WAVE "IDW", from the built exe: what a sound device is given to play.
std::string AlarmSamples() {
    HMODULE image = LoadLibraryExW(Config().toolPath.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC found = image != nullptr ? FindResourceW(image, L"IDW", L"WAVE") : nullptr;
    const auto* bytes = found != nullptr ? static_cast<const char*>(LockResource(LoadResource(image, found))) : nullptr;
    const std::string wave = bytes != nullptr ? std::string(bytes, SizeofResource(image, found)) : std::string();
    if (image != nullptr) FreeLibrary(image);
    for (size_t at = 12; at + 8 <= wave.size();) {  // after "RIFF", its size and "WAVE": tag, size, data
        DWORD size = 0;
        std::memcpy(&size, wave.data() + at + 4, sizeof size);
        if (wave.compare(at, 4, "data") == 0) return wave.substr(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return {};
}

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class AlarmSound : public ToolTest {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, m_recording) << "no recording: run through run_e2e.py --record-sound";
        size_t removed = 0;
        while (std::filesystem::remove(PlayFile(removed))) ++removed;  // the plays of the case before
        ToolTest::SetUp();
        ASSERT_FALSE(m_samples.empty()) << "the tool has no WAVE \"IDW\" with a data chunk";
        SetSite(true);
        tool.SetItemText(IDC_URL, PageUrl(kSwitchPage));
        tool.SetItemText(IDC_FLAG, kMarker);
        tool.ClickItem(IDC_START);
        ASSERT_TRUE(WaitForReportLines(tool, 1));
    }
    void SetSite(bool healthy) { HttpGet(PageUrl(healthy ? kSwitchOk : kSwitchFail)); }
    // A check whose change of result opens a box, which is closed.
    void CheckAndCloseTheBox(size_t linesAfter) {
        Post(tool.MainWindow(), WM_TIMER, 1, 0);
        ASSERT_TRUE(WaitForReportLines(tool, linesAfter));
        const auto box = tool.WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        PressOk(*box);
    }
    // The file of the play with this index from 0: the recording's path, then with .0001, .0002, ...
    std::filesystem::path PlayFile(size_t index) const {
        if (index == 0) return m_recording;
        const std::wstring number = std::to_wstring(index);
        return m_recording + (L"." + std::wstring(4 - number.size(), L'0') + number);
    }
    void WaitForPlay(size_t index) {
        const auto whole = [&] {
            std::error_code error;
            const auto size = std::filesystem::file_size(PlayFile(index), error);
            return !error && size >= m_samples.size();
        };
        ASSERT_TRUE(WaitFor(whole, kPlayTimeout)) << "play " << index + 1 << " not recorded whole";
    }
    // Once the tool has ended, nothing more can be played: every play is recorded whole.
    void ExpectPlaysAfterExit(size_t count) {
        Post(tool.MainWindow(), WM_COMMAND, ID_TRAY_EXIT, 0);
        ASSERT_TRUE(tool.WaitForExit(kExitTimeout));
        std::vector<std::string> plays;
        while (std::filesystem::exists(PlayFile(plays.size()))) plays.push_back(Contents(PlayFile(plays.size())));
        ASSERT_EQ(count, plays.size()) << "plays recorded";
        for (size_t i = 0; i < count; ++i) {
            EXPECT_EQ(m_samples.size(), plays[i].size()) << "bytes of play " << i + 1;
            EXPECT_TRUE(plays[i] == m_samples) << "play " << i + 1 << " is not the data chunk byte for byte";
        }
    }

    const std::string m_samples = AlarmSamples();

private:
    const wchar_t* m_recording = _wgetenv(L"WZ_SOUND_FILE");
};

TEST_F(AlarmSound, AChangeToErrorPlaysTheAlarmOnce) {
    SetSite(false);
    CheckAndCloseTheBox(2);
    WaitForPlay(0);
    ExpectPlaysAfterExit(1);
}

TEST_F(AlarmSound, ARecoveryPlaysNothingAndTwoChangesToErrorPlayItTwice) {
    SetSite(false);
    CheckAndCloseTheBox(2);
    WaitForPlay(0);  // a second play started now would cut the first short
    SetSite(true);
    CheckAndCloseTheBox(3);
    SetSite(false);
    CheckAndCloseTheBox(4);
    WaitForPlay(1);
    ExpectPlaysAfterExit(2);
}

}  // namespace
}  // namespace e2e
