// CAboutDlg: the About box, with the tool's icon, name, version, copyright and home-page link.
#pragma once

#include "dialog.h"
#include "static_link.h"

// A modal box owned by the main window; its link opens the publisher's home page.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    CStaticLink m_link;
};
