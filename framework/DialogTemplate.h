// Dialog templates as data: the caption, size in dialog units, styles, font
// and controls of a window, as a module's resources hold them.
#pragma once

#include "PMExport.h"
#include "framework/WinTypes.h"

#include <vector>

// Window styles.
constexpr UINT WS_POPUP = 0x80000000u;
constexpr UINT WS_CHILD = 0x40000000u;
constexpr UINT WS_VISIBLE = 0x10000000u;
constexpr UINT WS_CAPTION = 0x00C00000u;
constexpr UINT WS_BORDER = 0x00800000u;
constexpr UINT WS_SYSMENU = 0x00080000u;
constexpr UINT WS_GROUP = 0x00020000u;
constexpr UINT WS_TABSTOP = 0x00010000u;
// Dialog styles.
constexpr UINT DS_SETFONT = 0x0040u;
constexpr UINT DS_MODALFRAME = 0x0080u;
constexpr UINT DS_CENTER = 0x0800u;
// Control styles.
constexpr UINT SS_LEFT = 0x0000u;
constexpr UINT SS_ETCHEDHORZ = 0x0010u;
constexpr UINT ES_AUTOHSCROLL = 0x0080u;
constexpr UINT BS_PUSHBUTTON = 0x0000u;
constexpr UINT BS_DEFPUSHBUTTON = 0x0001u;
// The bits of a control's style that say its type (SS_..., BS_...).
constexpr UINT SS_TYPEMASK = 0x001Fu;
constexpr UINT BS_TYPEMASK = 0x000Fu;

// Control class names.
#define PM_CLASS_STATIC L"static"
#define PM_CLASS_EDIT L"edit"
#define PM_CLASS_BUTTON L"button"
#define PM_CLASS_PROGRESS L"msctls_progress32"

struct DialogItemTemplate
{
  int id;
  const wchar_t *className;
  const wchar_t *text;
  short x, y, cx, cy; // dialog units
  UINT style;
};

struct DialogTemplate
{
  UINT id;
  const wchar_t *caption;
  short x, y, cx, cy; // dialog units
  UINT style;
  const wchar_t *fontName;
  int pointSize;
  int weight;
  bool italic;
  int charset;
  std::vector<DialogItemTemplate> items;

  const DialogItemTemplate *FindItem(int itemId) const
  {
    for (const DialogItemTemplate &item : items)
      if (item.id == itemId)
        return &item;
    return nullptr;
  }
};

// Kinds of controls, from class name and style.
enum class DialogItemKind
{
  Label,
  EtchedLine,
  Edit,
  Button,
  ProgressBar,
  Other
};
PELMORA_API DialogItemKind KindOfItem(const DialogItemTemplate &item);
