// The framework's dispatch on a real dialog: message maps, default OK/Cancel, the guard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog.h"
#include "exception.h"
#include "message_box_spy.h"
#include "win_app.h"

namespace {

constexpr UINT kProbeTemplate = 200;
constexpr UINT kProbeButton = 201;
constexpr UINT WM_PROBE_RECORD = WM_APP + 1;
constexpr UINT WM_PROBE_THROW = WM_APP + 2;
constexpr UINT WM_PROBE_THROW_EMPTY = WM_APP + 3;

class TestApp : public CWinApp {
public:
    TestApp() { m_strAppName = "探针程序"; }
    BOOL InitInstance() override { return FALSE; }
};

TestApp g_testApp;

class TextException : public CException {
public:
    explicit TextException(const char* text) : m_text(text) {}
    CString GetErrorMessage() const noexcept override { return m_text; }

private:
    CString m_text;
};

// A dialog that posts itself a script of messages and records what its handlers saw.
class ProbeDialog : public CDialog {
public:
    explicit ProbeDialog(std::vector<UINT> script) : CDialog(kProbeTemplate), m_script(std::move(script)) {}

    std::vector<std::string> seen;
    RECT rectAtInit{};

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ::GetWindowRect(m_hWnd, &rectAtInit);
        seen.push_back("init");
        for (UINT message : m_script) {
            if (message == WM_COMMAND + kProbeButton) {
                PostMessage(WM_COMMAND, MAKEWPARAM(kProbeButton, BN_CLICKED), 0);
            } else if (message >= WM_APP) {
                PostMessage(message, 42, 0);
            } else {
                PostMessage(WM_COMMAND, message, 0);  // IDOK or IDCANCEL
            }
        }
        return TRUE;
    }
    LRESULT OnRecord(WPARAM wParam, LPARAM) {
        seen.push_back("record " + std::to_string(wParam));
        return 0;
    }
    LRESULT OnThrow(WPARAM, LPARAM) {
        seen.push_back("throw");
        throw TextException("网站坏了");
    }
    LRESULT OnThrowEmpty(WPARAM, LPARAM) {
        seen.push_back("throw empty");
        throw CException();
    }
    void OnButton() { seen.push_back("button"); }
    void OnCancel() override {
        seen.push_back("cancel");
        CDialog::OnCancel();
    }

    DECLARE_MESSAGE_MAP()

private:
    std::vector<UINT> m_script;
};

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
    ON_MESSAGE(WM_PROBE_RECORD, OnRecord)
    ON_MESSAGE(WM_PROBE_THROW, OnThrow)
    ON_MESSAGE(WM_PROBE_THROW_EMPTY, OnThrowEmpty)
    ON_BN_CLICKED(kProbeButton, OnButton)
END_MESSAGE_MAP()

using Seen = std::vector<std::string>;

TEST(MessageMap, DispatchesOwnEntriesAndChainsToTheBase) {
    ProbeDialog dialog({WM_PROBE_RECORD, WM_COMMAND + kProbeButton, IDCANCEL, WM_PROBE_RECORD});
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ((Seen{"init", "record 42", "button", "cancel"}), dialog.seen);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(MessageMap, DefaultOkEndsTheDialog) {
    ProbeDialog dialog({IDOK});
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ((Seen{"init"}), dialog.seen);
}

TEST(Dialog, TemplateAtOriginIsCentredOnTheScreen) {
    ProbeDialog dialog({IDCANCEL});
    dialog.DoModal();
    RECT area;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const RECT& r = dialog.rectAtInit;
    EXPECT_NEAR((area.left + area.right) / 2, (r.left + r.right) / 2, 1);
    EXPECT_NEAR((area.top + area.bottom) / 2, (r.top + r.bottom) / 2, 1);
}

TEST(DispatchGuard, ShowsTheFailuresTextWithTheStopIconAndGoesOn) {
    MessageBoxSpy spy;
    ProbeDialog dialog({WM_PROBE_THROW, WM_PROBE_RECORD, IDCANCEL});
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ((Seen{"init", "throw", "record 42", "cancel"}), dialog.seen);
    ASSERT_EQ(1u, spy.Boxes().size());
    EXPECT_EQ(L"网站坏了", spy.Boxes()[0].text);
    EXPECT_EQ(L"探针程序", spy.Boxes()[0].title);
    EXPECT_EQ(::LoadIconW(nullptr, IDI_HAND), spy.Boxes()[0].icon);
}

TEST(DispatchGuard, UsesTheGenericTextWhenTheFailureHasNone) {
    MessageBoxSpy spy;
    ProbeDialog dialog({WM_PROBE_THROW_EMPTY, IDCANCEL});
    dialog.DoModal();
    ASSERT_EQ(1u, spy.Boxes().size());
    EXPECT_EQ(L"内部应用程序出错。", spy.Boxes()[0].text);
}

TEST(AfxMessageBox, DefaultsToTheExclamationIconAndTheAppName) {
    MessageBoxSpy spy;
    AfxMessageBox("配置文件已损坏!");
    ASSERT_EQ(1u, spy.Boxes().size());
    EXPECT_EQ(L"配置文件已损坏!", spy.Boxes()[0].text);
    EXPECT_EQ(L"探针程序", spy.Boxes()[0].title);
    EXPECT_EQ(::LoadIconW(nullptr, IDI_EXCLAMATION), spy.Boxes()[0].icon);
}

}  // namespace
