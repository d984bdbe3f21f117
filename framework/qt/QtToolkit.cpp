#include "framework/Toolkit.h"
PMToolkit *QtToolkitIfAvailable()
{
  return nullptr;
}
