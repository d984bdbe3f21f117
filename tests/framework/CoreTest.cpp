// Strings, module state, application and thread objects, message maps.
#include "framework/AfxModule.h"
#include "framework/CString.h"
#include "framework/CWnd.h"
#include "framework/WinApp.h"

#include <gtest/gtest.h>

namespace {

TEST(CStringTest, FormatFollowsPrintfWithWideStrings)
{
  CString text;
  text.Format(L"%d %% complete", 37);
  EXPECT_EQ(text, L"37 % complete");
  text.Format(L"%s and %hs, %c%hc", L"wide", "narrow", L'w', 'n');
  EXPECT_EQ(text, L"wide and narrow, wn");
  text.Format(L"%5.2f|%-4d|%x", 3.14159, 7, 255);
  EXPECT_EQ(text, L" 3.14|7   |ff");
  std::wstring longText(5000, L'x');
  text.Format(L"<%s>", longText.c_str());
  EXPECT_EQ(text.GetLength(), 5002);
}

TEST(CStringTest, NarrowTextIsUtf8)
{
  EXPECT_EQ(CString("Progress"), L"Progress");
  CString accented("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x99\x82"); // été € 🙂
  EXPECT_EQ(accented, L"\u00E9t\u00E9 \u20AC \U0001F642");
  EXPECT_EQ(accented.ToUtf8(), "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x99\x82");
  // Invalid input: a lone continuation byte, a truncated sequence, an
  // overlong encoding, an encoded surrogate.
  EXPECT_EQ(CString("a\x80"
                    "b"),
            L"a\uFFFDb");
  EXPECT_EQ(CString("a\xE2\x82"), L"a\uFFFD");
  EXPECT_EQ(CString("\xC0\xAF"), L"\uFFFD");
  EXPECT_EQ(CString("\xED\xA0\x80"), L"\uFFFD");
  EXPECT_EQ(CString(static_cast<const char *>(nullptr)), L"");
  CString copy = accented;
  copy += L"!";
  EXPECT_EQ(accented.GetLength(), 7); // a copy is independent
}

// Installs `state` and leaves early; the guard must restore the state.
bool FindTemplateAndReturnEarly(AFX_MODULE_STATE *state, UINT id)
{
  AFX_MAINTAIN_STATE2 guard(state);
  if (AfxGetModuleState()->FindTemplate(id))
    return true;
  return false;
}

TEST(ModuleStateTest, GuardRestoresThePreviousStateOnEveryWayOut)
{
  AFX_MODULE_STATE *process = AfxGetModuleState();
  AFX_MODULE_STATE library;
  AFX_MODULE_STATE other;
  EXPECT_FALSE(FindTemplateAndReturnEarly(&library, 20000));
  EXPECT_EQ(AfxGetModuleState(), process);
  {
    AFX_MAINTAIN_STATE2 outer(&library);
    {
      AFX_MAINTAIN_STATE2 inner(&other);
      EXPECT_EQ(AfxGetModuleState(), &other);
    }
    EXPECT_EQ(AfxGetModuleState(), &library);
  }
  try {
    AFX_MAINTAIN_STATE2 guard(&library);
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(AfxGetModuleState(), process);
}

// An application belongs to the module current at its construction; a
// module's thread is the application unless a thread object is set.
TEST(ModuleStateTest, ApplicationBelongsToTheModuleCurrentAtConstruction)
{
  AFX_MODULE_STATE library;
  AFX_MODULE_STATE *previous = AfxSetModuleState(&library);
  auto *app = new CWinApp(nullptr);
  AfxSetModuleState(previous);
  EXPECT_EQ(library.m_pCurrentWinApp, app);
  EXPECT_NE(AfxGetApp(), app);
  {
    AFX_MAINTAIN_STATE2 guard(&library);
    EXPECT_EQ(AfxGetApp(), app);
    EXPECT_EQ(AfxGetThread(), app);
    CWinThread thread;
    AfxSetThread(&thread);
    EXPECT_EQ(AfxGetThread(), &thread);
    AfxSetThread(nullptr);
  }
  delete app; // unregisters from its module even when another is current
  EXPECT_EQ(library.m_pCurrentWinApp, nullptr);
}

// A foreign handle is wrapped once, by an inert window.
TEST(WindowHandleTest, FromHandleWrapsForeignHandlesOnce)
{
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
  auto handle = reinterpret_cast<HWND>(0x1234);
  CWnd *wrapped = CWnd::FromHandle(handle);
  ASSERT_NE(wrapped, nullptr);
  EXPECT_EQ(CWnd::FromHandle(handle), wrapped);
  wrapped->SetWindowText(L"ignored");
  CString text(L"unchanged");
  wrapped->GetWindowText(text);
  EXPECT_EQ(text, L"");
  EXPECT_EQ(wrapped->GetDlgItem(1), nullptr);
  EXPECT_FALSE(wrapped->UpdateData(TRUE));
  EXPECT_EQ(SendMessageW(handle, PBM_SETPOS, 5, 0), 0);
}

// Message maps route a command to the most derived handler, then the base's.
class CBaseWnd : public CWnd
{
public:
  int base = 0;
  int shared = 0;
  void OnBase() { ++base; }
  void OnShared() { ++shared; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
ON_EN_KILLFOCUS(10, &CBaseWnd::OnBase)
ON_EN_KILLFOCUS(11, &CBaseWnd::OnShared)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd
{
public:
  int derived = 0;
  void OnDerived() { ++derived; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
ON_EN_KILLFOCUS(11, &CDerivedWnd::OnDerived)
ON_COMMAND(12, &CDerivedWnd::OnDerived)
END_MESSAGE_MAP()

TEST(MessageMapTest, DerivedEntriesComeFirstThenTheBase)
{
  CDerivedWnd wnd;
  auto command = [](UINT id, UINT code) { return static_cast<WPARAM>(id | (code << 16)); };
  EXPECT_TRUE(wnd.OnCommand(command(10, EN_KILLFOCUS), 0));
  EXPECT_TRUE(wnd.OnCommand(command(11, EN_KILLFOCUS), 0));
  EXPECT_TRUE(wnd.OnCommand(command(12, BN_CLICKED), 0));
  EXPECT_FALSE(wnd.OnCommand(command(12, EN_KILLFOCUS), 0));
  EXPECT_FALSE(wnd.OnCommand(command(13, BN_CLICKED), 0));
  EXPECT_EQ(wnd.base, 1);
  EXPECT_EQ(wnd.shared, 0);
  EXPECT_EQ(wnd.derived, 2);
}

} // namespace
