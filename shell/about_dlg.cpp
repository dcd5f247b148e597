// CAboutDlg: the About box, with the tool's icon, name, version, copyright and home-page link.
#include "about_dlg.h"

#include "resource.h"
#include "version.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUTLINK, m_link);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_link.m_target = CString(WZ_HOME_PAGE);
    return TRUE;
}
