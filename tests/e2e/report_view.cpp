// The tool's report box as the driver reads it: its lines, newest first, and how many there are.
#include "report_view.h"

#include "resource.h"
#include "window_access.h"

namespace e2e {

std::vector<std::wstring> ReportLines(const ToolProcess& tool) {
    std::vector<std::wstring> lines;
    const std::wstring report = tool.ItemText(IDC_REPORT);
    for (size_t start = 0, end; (end = report.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        lines.push_back(report.substr(start, end - start));
    }
    return lines;
}

// Every line ends with CR LF, so the box counts one empty line more.
size_t ReportLineCount(const ToolProcess& tool) {
    const LRESULT boxLines = Send(tool.Item(IDC_REPORT), EM_GETLINECOUNT);
    return boxLines > 0 ? static_cast<size_t>(boxLines) - 1 : 0;
}

// A check holds the tool's thread, so the box may not answer until it ends.
bool WaitForReportLines(const ToolProcess& tool, size_t count, std::chrono::milliseconds timeout) {
    return WaitFor([&] { return TrySend(tool.Item(IDC_REPORT), EM_GETLINECOUNT) == static_cast<LRESULT>(count + 1); },
                   timeout);
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace e2e
