// Progress of a wrap that runs no VTK filter: drives the module-wide
// pipeline reporter the way the pipeline hooks do (open and retitle, a
// percentage per stage, 100 and close), so the window looks the same.
// Internal to the wrap folder; not exported.
#pragma once

namespace pelmora::wrap {

class StageProgress
{
public:
  // Opens the window titled `title` when `showProgress` equals 1; any other
  // value shows nothing and makes every call below do nothing.
  StageProgress(const char *title, int showProgress);
  // Closes a window still open (a stage that threw): no 100 is shown.
  ~StageProgress();
  StageProgress(const StageProgress &) = delete;
  StageProgress &operator=(const StageProgress &) = delete;

  // The share of the work done, 0 to 1.
  void Reach(double fraction);
  // 100, then closes the window.
  void Finish();

private:
  bool m_open = false;
};

} // namespace pelmora::wrap
