// Without any screen no window opens, and every reporter call is harmless.
#include "PMProgress.h"
#include "PMToolkit.h"
#include "framework/Dialog.h"
#include "ui/CProgressDlg.h"
#include "ui/LibraryModule.h"
#include "ui/PipelineProgress.h"

#include <gtest/gtest.h>

namespace {

class NoneToolkitTest : public ::testing::Test
{
protected:
  void SetUp() override { PMSelectToolkit(PMToolkitKind::None); }
  void TearDown() override { PMSelectToolkit(PMToolkitKind::Automatic); }
};

TEST_F(NoneToolkitTest, ReporterKeepsItsFieldsWithoutAWindow)
{
  PMProgress progress(L"Calculating surface", L"", 0.0, 100.0, nullptr);
  progress.SetMax(3.0);
  progress.StartProgress();
  for (int i = 0; i < 3; ++i)
    progress.SetCurrent(i);
  progress.StepIt(0.5);
  progress.SetTitle(L"Renamed");
  progress.SetStatus(L"busy");
  progress.EndProgress();
  progress.EndProgress();
  EXPECT_EQ(progress.GetTitle(), L"Renamed");
  EXPECT_EQ(progress.GetStatus(), L"busy");
  EXPECT_DOUBLE_EQ(progress.GetCurrent(), 2.5);
  EXPECT_EQ(progress.GetParentWnd(), nullptr);
}

TEST_F(NoneToolkitTest, DialogsCannotOpen)
{
  AFX_MAINTAIN_STATE2 state(LibraryModuleState());
  CProgressDlg modeless;
  EXPECT_FALSE(modeless.Create(CProgressDlg::IDD));
  EXPECT_EQ(modeless.GetSafeHwnd(), nullptr);
  EXPECT_EQ(modeless.GetDlgItem(CProgressDlg::IDC_STATUS), nullptr);
  EXPECT_FALSE(modeless.UpdateData(TRUE));
  EXPECT_FALSE(modeless.DestroyWindow());
  CDialog modal(CProgressDlg::IDD);
  EXPECT_EQ(modal.DoModal(), -1);
  EXPECT_EQ(modal.MessageBoxW(L"text", L"Warning", MB_ICONEXCLAMATION), 0);
}

TEST_F(NoneToolkitTest, PipelineHooksWithoutWindowOrFilter)
{
  OnPipelineStart(nullptr);
  OnPipelineProgress(nullptr);
  OnPipelineEnd(nullptr);
  EXPECT_DOUBLE_EQ(thePipelineProgress.GetCurrent(), 100.0);
}

} // namespace
