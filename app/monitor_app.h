// CMonitorApp: starts the tool by running its main window modally.
#pragma once

#include "win_app.h"

class CMonitorApp : public CWinApp {
public:
    BOOL InitInstance() override;
};

extern CMonitorApp theApp;
