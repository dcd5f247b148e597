// What the runner tells the driver: the tool to start, where the page server listens, the built help file.
#include "e2e_config.h"

#include <cwchar>
#include <string_view>

namespace e2e {

namespace {

E2eConfig g_config;

bool TakeValue(std::wstring_view argument, std::wstring_view name, std::wstring& value) {
    if (argument.substr(0, name.size()) != name) return false;
    value = argument.substr(name.size());
    return true;
}

// A port number, or 0 when the text is none.
unsigned short PortNumber(const std::wstring& text) {
    const unsigned long number = std::wcstoul(text.c_str(), nullptr, 10);
    return number <= 65535 ? static_cast<unsigned short>(number) : 0;
}

}  // namespace

const E2eConfig& Config() { return g_config; }

bool ReadConfig(int argc, wchar_t** argv, std::wstring& error) {
    std::wstring port;
    std::wstring tlsPort;
    std::wstring httpsPort;
    std::wstring untrustedHttpsPort;
    std::wstring proxyPort;
    for (int i = 1; i < argc; ++i) {
        if (!TakeValue(argv[i], L"--tool=", g_config.toolPath) && !TakeValue(argv[i], L"--port=", port) &&
            !TakeValue(argv[i], L"--help-file=", g_config.helpFile) && !TakeValue(argv[i], L"--tls-port=", tlsPort) &&
            !TakeValue(argv[i], L"--https-port=", httpsPort) &&
            !TakeValue(argv[i], L"--untrusted-https-port=", untrustedHttpsPort) &&
            !TakeValue(argv[i], L"--test-authority=", g_config.testAuthority) &&
            !TakeValue(argv[i], L"--proxy-port=", proxyPort) &&
            !TakeValue(argv[i], L"--proxy-log=", g_config.proxyLog) &&
            !TakeValue(argv[i], L"--ftp-folder=", g_config.ftpFolder)) {
            error = std::wstring(L"unknown argument: ") + argv[i];
            return false;
        }
    }
    g_config.pagePort = PortNumber(port);
    g_config.tlsPort = PortNumber(tlsPort);
    g_config.httpsPort = PortNumber(httpsPort);
    g_config.untrustedHttpsPort = PortNumber(untrustedHttpsPort);
    g_config.proxyPort = PortNumber(proxyPort);
    if (g_config.toolPath.empty() || g_config.pagePort == 0 || g_config.tlsPort == 0) {
        error =
            L"usage: e2e_tests [gtest flags] --tool=<path of the tool's exe> --port=<page server's port> "
            L"--tls-port=<TLS-only port> [--help-file=<path of help.chm>]";
        return false;
    }
    return true;
}

}  // namespace e2e
