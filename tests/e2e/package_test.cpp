// The release zip as a user unpacks it: run only by the package test, whose tool is the unpacked exe.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "probe_client.h"
#include "resource.h"
#include "tool_process.h"

namespace e2e {
namespace {

TEST(Package, StartsInItsFolderAndHelpOpensTheHelpFileBesideIt) {
    ToolProcess tool(std::nullopt, RunIn::ToolFolder);
    ASSERT_NE(nullptr, tool.MainWindow()) << tool.DescribeWindows();
    ASSERT_TRUE(std::filesystem::exists(tool.WorkingDirectory() / L"help.chm"));
    Probe probe(tool);
    ASSERT_TRUE(probe.WatchShell());

    tool.ClickItem(IDC_HELPBTN);
    ASSERT_TRUE(probe.Sync());
    const std::vector<ShellCall> calls = probe.ShellCalls();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(L"open", calls[0].verb);
    EXPECT_EQ(L"help.chm", calls[0].file);
    EXPECT_TRUE(std::filesystem::equivalent(tool.WorkingDirectory(), probe.CurrentDirectory()))
        << "the help file is looked for in the unpacked folder";
    EXPECT_FALSE(tool.FindMessageBox().has_value()) << tool.DescribeWindows();
}

}  // namespace
}  // namespace e2e
