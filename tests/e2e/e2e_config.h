// What the runner tells the driver: the tool to start and where the page server listens.
#pragma once

#include <string>

namespace e2e {

struct E2eConfig {
    std::wstring toolPath;
    unsigned short pagePort = 0;
};

const E2eConfig& Config();

// Takes --tool=<path of the tool's exe> and --port=<page server's port>; false with the reason when one is missing.
bool ReadConfig(int argc, wchar_t** argv, std::wstring& error);

}  // namespace e2e
