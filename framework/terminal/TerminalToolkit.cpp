#include "framework/Toolkit.h"
PMToolkit &TerminalToolkit()
{
  return NoneToolkit();
}
