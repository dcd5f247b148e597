// Servers that nobody here wrote: a caching proxy between the tool and the site, and an FTP server.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "checking_tool.h"
#include "http_fetch.h"

namespace e2e {
namespace {

const wchar_t kInternetSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// The system's proxy as Internet Options sets it, for the tools started while it stands; the old setting
// comes back at the end. Wine's WinINet reads it at each session but keeps a connection to the last proxy for
// the life of the process, so a setting gets tools of its own.
class SystemProxy {
public:
    explicit SystemProxy(const std::wstring& server) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key,
                        nullptr);
        m_enable = Saved(L"ProxyEnable");
        m_server = Saved(L"ProxyServer");
        const DWORD enable = 1;
        RegSetValueExW(m_key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable), sizeof(enable));
        RegSetValueExW(m_key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    }
    ~SystemProxy() {
        Restore(L"ProxyEnable", m_enable);
        Restore(L"ProxyServer", m_server);
        RegCloseKey(m_key);
    }
    SystemProxy(const SystemProxy&) = delete;
    SystemProxy& operator=(const SystemProxy&) = delete;

private:
    struct Value {
        DWORD type = 0;
        std::vector<BYTE> bytes;
    };

    std::optional<Value> Saved(const wchar_t* name) const {
        Value value;
        DWORD size = 0;
        if (RegQueryValueExW(m_key, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
        value.bytes.resize(size);
        RegQueryValueExW(m_key, name, nullptr, &value.type, value.bytes.data(), &size);
        return value;
    }

    void Restore(const wchar_t* name, const std::optional<Value>& value) const {
        if (!value) {
            RegDeleteValueW(m_key, name);
            return;
        }
        RegSetValueExW(m_key, name, 0, value->type, value->bytes.data(), static_cast<DWORD>(value->bytes.size()));
    }

    HKEY m_key = nullptr;
    std::optional<Value> m_enable;
    std::optional<Value> m_server;
};

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

// Every tool of the suite goes through the proxy at `Proxy::Server()`.
template <typename Proxy>
class ThroughAProxy : public CheckingTool {
protected:
    static void SetUpTestSuite() { s_proxy = std::make_unique<SystemProxy>(Proxy::Server()); }
    static void TearDownTestSuite() { s_proxy.reset(); }

private:
    static inline std::unique_ptr<SystemProxy> s_proxy;
};

struct Squid {
    static std::wstring Server() { return L"127.0.0.1:" + std::to_wstring(Config().proxyPort); }
};

// Squid keeps a page served with a max-age, as every caching proxy does; the check must go past it.
class CachingProxy : public ThroughAProxy<Squid> {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(0, Config().proxyPort) << "the runner starts squid when given --real-servers";
        TrustTheTestAuthority();
        ThroughAProxy<Squid>::SetUpTestSuite();
    }
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

struct NothingListens {
    static std::wstring Server() { return L"127.0.0.1:1"; }
};

class DeadProxy : public ThroughAProxy<NothingListens> {};

TEST_F(DeadProxy, IsAnErrorWithNoBox) { EXPECT_TRUE(EndsWith(Check(PageUrl(kMarkerPage)), L" ERROR")); }

// vsftpd with active mode switched off, as behind every NAT router.
class Ftp : public CheckingTool {
protected:
    static void SetUpTestSuite() { ASSERT_FALSE(Config().ftpFolder.empty()) << "the runner starts vsftpd"; }
    static std::wstring FtpUrl(const wchar_t* file) { return Config().ftpFolder + file; }
};

TEST_F(Ftp, AFileIsReadOverPassiveFtp) {
    EXPECT_TRUE(EndsWith(Check(FtpUrl(L"/marker.txt")), L" OK"));
    EXPECT_TRUE(EndsWith(Check(FtpUrl(L"/plain.txt")), L" ERROR"));
}

}  // namespace
}  // namespace e2e
