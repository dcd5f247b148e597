// ToolTest: the fixture of the end-to-end cases, a fresh run of the tool whose main window is up.
#pragma once

#include <gtest/gtest.h>

#include "probe_client.h"
#include "tool_process.h"

namespace e2e {

class ToolTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, tool.MainWindow()) << "no visible main window \"" << kMainCaption << "\"; the tool has:\n"
                                              << tool.DescribeWindows();
        // Wine reports a start still waiting on another process as idle (seen on a freshly made prefix),
        // and a window hidden before the modal loop first runs empty is shown again by that loop. A posted
        // question answered means the loop runs; the idle after it is the loop's own, and its first show
        // comes before any message posted from then on.
        ASSERT_TRUE(Probe(tool).Sync());
        ASSERT_TRUE(tool.WaitForInputIdle()) << "the tool never waited for input";
    }

    ToolProcess tool;
};

}  // namespace e2e
