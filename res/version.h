// The version and the publisher, for the version resource, the links and the About box.
#pragma once

#define WZ_VERSION_NUMBERS 1, 1, 1, 0
#define WZ_VERSION_TEXT "1.1.1.0"
#define WZ_ABOUT_VERSION "望站 1.10版"

#define WZ_PUBLISHER "望站工作室"
#define WZ_HOME_PAGE "https://example.com/"
#define WZ_HOME_LINK_TEXT WZ_PUBLISHER "  " WZ_HOME_PAGE
#define WZ_ABOUT_LINK_TEXT "主页：" WZ_HOME_PAGE
#define WZ_COPYRIGHT "版权所有 (C) 2026 " WZ_PUBLISHER
#define WZ_CREDITS "作者：" WZ_PUBLISHER "　意见与建议请经主页告诉我们"
