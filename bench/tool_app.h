// What the page check needs around it in a benchmark: the tool's application object and its marker.
#pragma once

#include "win_app.h"

namespace bench {

// The session's agent is the application's name, the tool's own.
class ToolApp : public CWinApp {
public:
    ToolApp() { m_strAppName = "望站"; }
    BOOL InitInstance() override { return FALSE; }
};

inline constexpr char kMarker[] = "网站运行正常";

}  // namespace bench
