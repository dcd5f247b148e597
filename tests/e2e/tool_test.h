// ToolTest: the fixture of the end-to-end cases, a fresh run of the tool whose main window is up.
#pragma once

#include <gtest/gtest.h>

#include "tool_process.h"

namespace e2e {

class ToolTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, tool.MainWindow()) << "no visible main window \"" << kMainCaption << "\"; the tool has:\n"
                                              << tool.DescribeWindows();
    }

    ToolProcess tool;
};

}  // namespace e2e
