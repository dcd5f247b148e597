// CDialog: a modal dialog from a template, with data exchange and default OK/Cancel.
#pragma once

#include "wnd.h"

struct CDataExchange {
    CWnd* m_pDlgWnd;
};

// Binds a control of the dialog to its member, once.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* pParentWnd = nullptr);

    virtual INT_PTR DoModal();
    void EndDialog(int result) const { ::EndDialog(m_hWnd, result); }

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    BOOL UpdateData();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    bool TemplateAtOrigin() const;
    void CenterWindow() const;

    UINT m_templateId;
    CWnd* m_pParentWnd;
};
