// Without any screen no window opens, and every reporter call is harmless.
#include "PMProgress.h"
#include "PMToolkit.h"
#include "framework/Dialog.h"
#include "ui/CProgressDlg.h"
#include "ui/LibraryModule.h"
#include "ui/PipelineProgress.h"

#include <gtest/gtest.h>

namespace {

TEST(NoneToolkitTest, ReporterDialogsAndHooksAreHarmless)
{
  PMSelectToolkit(PMToolkitKind::None);
  PMProgress progress(L"Calculating surface", L"", 0.0, 100.0, nullptr);
  progress.SetMax(3.0);
  progress.StartProgress();
  progress.SetCurrent(2);
  progress.StepIt(0.5);
  progress.SetTitle(L"Renamed");
  progress.EndProgress();
  progress.EndProgress();
  EXPECT_DOUBLE_EQ(progress.GetCurrent(), 2.5);

  {
    AFX_MAINTAIN_STATE2 state(LibraryModuleState());
    CProgressDlg modeless;
    EXPECT_FALSE(modeless.Create(CProgressDlg::IDD));
    EXPECT_EQ(modeless.GetDlgItem(CProgressDlg::IDC_STATUS), nullptr);
    EXPECT_FALSE(modeless.UpdateData(TRUE));
    EXPECT_FALSE(modeless.DestroyWindow());
    CDialog modal(CProgressDlg::IDD);
    EXPECT_EQ(modal.DoModal(), -1);
    EXPECT_EQ(modal.MessageBoxW(L"text", L"Warning", MB_ICONEXCLAMATION), 0);
  }

  OnPipelineStart(nullptr);
  OnPipelineProgress(nullptr);
  OnPipelineEnd(nullptr);
  EXPECT_DOUBLE_EQ(thePipelineProgress.GetCurrent(), 100.0);
}

} // namespace
