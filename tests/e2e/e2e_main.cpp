// The driver's entry: GoogleTest's own flags first, then what the runner tells it.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e_config.h"

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::wstring error;
    if (!e2e::ReadConfig(argc, argv, error)) {
        std::fwprintf(stderr, L"%ls\n", error.c_str());
        return 2;
    }
    return RUN_ALL_TESTS();
}
