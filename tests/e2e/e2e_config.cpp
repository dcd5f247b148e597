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

}  // namespace

const E2eConfig& Config() { return g_config; }

bool ReadConfig(int argc, wchar_t** argv, std::wstring& error) {
    std::wstring port;
    for (int i = 1; i < argc; ++i) {
        if (!TakeValue(argv[i], L"--tool=", g_config.toolPath) && !TakeValue(argv[i], L"--port=", port) &&
            !TakeValue(argv[i], L"--help-file=", g_config.helpFile)) {
            error = std::wstring(L"unknown argument: ") + argv[i];
            return false;
        }
    }
    const unsigned long portNumber = std::wcstoul(port.c_str(), nullptr, 10);
    if (g_config.toolPath.empty() || portNumber == 0 || portNumber > 65535) {
        error =
            L"usage: e2e_tests [gtest flags] --tool=<path of the tool's exe> --port=<page server's port> "
            L"[--help-file=<path of help.chm>]";
        return false;
    }
    g_config.pagePort = static_cast<unsigned short>(portNumber);
    return true;
}

}  // namespace e2e
