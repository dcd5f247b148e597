// What the runner tells the driver: the tool to start and where the page server listens.
#pragma once

#include <string>

namespace e2e {

struct E2eConfig {
    std::wstring toolPath;
    unsigned short pagePort = 0;
    unsigned short tlsPort = 0;  // where a server answers only in TLS
};

const E2eConfig& Config();

// Takes --tool=<path of the tool's exe>, --port=<page server's port> and --tls-port=<TLS-only port>; false with
// the reason when one is missing.
bool ReadConfig(int argc, wchar_t** argv, std::wstring& error);

}  // namespace e2e
