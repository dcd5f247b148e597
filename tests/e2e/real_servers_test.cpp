// Servers that nobody here wrote: a caching proxy between the tool and the site, and an FTP server.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "checking_tool.h"
#include "http_fetch.h"

namespace e2e {
namespace {

const wchar_t kInternetSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// The system's proxy as Internet Options sets it, for the tools started after; the test prefix has none
// before or after. Wine's WinINet keeps a connection to the last proxy for the life of the process, so a
// setting gets tools of its own.
void SetSystemProxy(const std::wstring& server) {
    const DWORD enable = server.empty() ? 0 : 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, kInternetSettings, L"ProxyEnable", REG_DWORD, &enable, sizeof(enable));
    RegSetKeyValueW(HKEY_CURRENT_USER, kInternetSettings, L"ProxyServer", REG_SZ, server.c_str(),
                    static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
}

// The lines of squid's access log that name the address, once there are `count` of them.
std::vector<std::string> ProxyLogLines(const std::wstring& url, size_t count) {
    const std::string address(url.begin(), url.end());
    std::vector<std::string> lines;
    WaitFor([&] {
        lines.clear();
        std::ifstream log(std::filesystem::path(Config().proxyLog));
        for (std::string line; std::getline(log, line);) {
            if (line.find(" " + address + " ") != std::string::npos) lines.push_back(line);
        }
        return lines.size() >= count;
    });
    return lines;
}

// Squid keeps a page served with a max-age, as every caching proxy does; the check must go past it.
class CachingProxy : public CheckingTool {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(0, Config().proxyPort) << "the runner starts squid when given --real-servers";
        TrustTheTestAuthority();
        SetSystemProxy(L"127.0.0.1:" + std::to_wstring(Config().proxyPort));
    }
    static void TearDownTestSuite() { SetSystemProxy(L""); }
};

TEST_F(CachingProxy, EveryCheckReachesTheSiteSoAChangeIsSeenAtOnce) {
    const std::wstring url = PageUrl(kSwitchCachedPage);
    HttpGet(PageUrl(kSwitchOk));
    EXPECT_TRUE(EndsWith(Check(url), L" OK"));
    HttpGet(PageUrl(kSwitchFail));
    EXPECT_TRUE(EndsWith(Tick(), L" ERROR")) << "the page the site serves now, not the proxy's copy";
    const std::vector<std::string> lines = ProxyLogLines(url, 2);
    ASSERT_EQ(2u, lines.size());
    for (const std::string& line : lines) {
        std::printf("squid: %s\n", line.c_str());
        EXPECT_NE(std::string::npos, line.find(" TCP_MISS/200 ")) << "answered by the site: " << line;
    }
}

TEST_F(CachingProxy, AnHttpsPageGoesThroughItsTunnel) {
    EXPECT_TRUE(EndsWith(Check(HttpsUrl(kMarkerPage)), L" OK"));
    const std::wstring tunnel = L"localhost:" + std::to_wstring(Config().httpsPort);
    EXPECT_EQ(1u, ProxyLogLines(tunnel, 1).size()) << "a CONNECT to " << std::string(tunnel.begin(), tunnel.end());
}

class DeadProxy : public CheckingTool {
protected:
    static void SetUpTestSuite() { SetSystemProxy(L"127.0.0.1:1"); }
    static void TearDownTestSuite() { SetSystemProxy(L""); }
};

TEST_F(DeadProxy, IsAnErrorWithNoBox) { EXPECT_TRUE(EndsWith(Check(PageUrl(kMarkerPage)), L" ERROR")); }

// vsftpd with active mode switched off, as behind every NAT router.
class Ftp : public CheckingTool {};

TEST_F(Ftp, AFileIsReadOverPassiveFtp) {
    ASSERT_FALSE(Config().ftpFolder.empty()) << "the runner starts vsftpd when given --real-servers";
    EXPECT_TRUE(EndsWith(Check(Config().ftpFolder + L"/marker.txt"), L" OK"));
    EXPECT_TRUE(EndsWith(Check(Config().ftpFolder + L"/plain.txt"), L" ERROR"));
}

}  // namespace
}  // namespace e2e
