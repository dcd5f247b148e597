// The tool's report box as the driver reads it: its lines, newest first, and how many there are.
#pragma once

#include <string>
#include <vector>

#include "tool_process.h"

namespace e2e {

std::vector<std::wstring> ReportLines(const ToolProcess& tool);

// Through EM_GETLINECOUNT, without copying the text: cheap enough to ask after every check.
size_t ReportLineCount(const ToolProcess& tool);

bool WaitForReportLines(const ToolProcess& tool, size_t count, std::chrono::milliseconds timeout = kDefaultTimeout);

bool EndsWith(const std::wstring& text, const std::wstring& tail);

}  // namespace e2e
