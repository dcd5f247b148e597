// ToolTest: the fixture of the end-to-end cases, a fresh run of the tool whose main window is up.
#pragma once

#include <gtest/gtest.h>

#include "probe_client.h"
#include "tool_process.h"
#include "window_access.h"

namespace e2e {

class ToolTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, tool.MainWindow()) << "no visible main window \"" << kMainCaption << "\"; the tool has:\n"
                                              << tool.DescribeWindows();
        ASSERT_NO_FATAL_FAILURE(WaitForTheDialogsFirstShow());
    }

    // The dialog's modal loop shows its window the first time it finds its queue empty, so a window hidden
    // before then (closed to the tray) is shown again. Wine's idle report comes far earlier, at the first
    // look at the queue. So: once the queue holds nothing, two messages are sent. The loop takes the first
    // in the look that finds the queue empty, and the second only after the show that follows it.
    void WaitForTheDialogsFirstShow() {
        Probe probe(tool);
        ASSERT_TRUE(WaitFor([&] { return probe.QueueEmpty(); })) << "the tool's queue never ran empty";
        Send(tool.MainWindow(), WM_NULL);
        Send(tool.MainWindow(), WM_NULL);
    }

    ToolProcess tool;
};

}  // namespace e2e
