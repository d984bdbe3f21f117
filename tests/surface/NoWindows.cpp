// The surface tests run without windows: progress is reported to a toolkit
// that opens none (the Qt windows have their own test executable).
#include "PMToolkit.h"

namespace {

const bool noWindows = (PMSelectToolkit(PMToolkitKind::None), true);

} // namespace
