#include "framework/DialogTemplate.h"

#include <cwchar>
#include <cwctype>

namespace {
bool SameClass(const wchar_t *a, const wchar_t *b)
{
  if (!a || !b)
    return false;
  for (; *a && *b; ++a, ++b)
    if (std::towlower(static_cast<wint_t>(*a)) != std::towlower(static_cast<wint_t>(*b)))
      return false;
  return *a == *b;
}
} // namespace

DialogItemKind KindOfItem(const DialogItemTemplate &item)
{
  if (SameClass(item.className, PM_CLASS_STATIC))
    return (item.style & SS_TYPEMASK) == SS_ETCHEDHORZ ? DialogItemKind::EtchedLine
                                                       : DialogItemKind::Label;
  if (SameClass(item.className, PM_CLASS_EDIT))
    return DialogItemKind::Edit;
  if (SameClass(item.className, PM_CLASS_BUTTON))
    return DialogItemKind::Button;
  if (SameClass(item.className, PM_CLASS_PROGRESS))
    return DialogItemKind::ProgressBar;
  return DialogItemKind::Other;
}
