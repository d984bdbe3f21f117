// CString: wide text with value semantics, as a host framework provides it.
#pragma once

#include "../PMExport.h"

#include <string>

class PELMORA_API CString
{
public:
  CString();
  CString(const wchar_t *text);
  // Narrow text is read as UTF-8 (invalid bytes become U+FFFD).
  CString(const char *text);
  CString(const std::wstring &text);
  CString(const CString &) = default;
  CString(CString &&) noexcept = default;
  CString &operator=(const CString &) = default;
  CString &operator=(CString &&) noexcept = default;
  CString &operator=(const wchar_t *text);
  CString &operator=(const char *text);

  const wchar_t *GetString() const { return m_text.c_str(); }
  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  operator const wchar_t *() const { return m_text.c_str(); }

  CString &operator+=(const CString &other);
  friend CString operator+(const CString &a, const CString &b);

  // printf conventions on wide text: %d, %g, %%... ; %s and %c take wide
  // arguments (as in the host framework), %hs and %hc narrow ones.
  void Format(const wchar_t *format, ...);

  // UTF-8 form of the text.
  std::string ToUtf8() const;
  static CString FromUtf8(const std::string &text);
  const std::wstring &Str() const { return m_text; }

  friend bool operator==(const CString &a, const CString &b) { return a.m_text == b.m_text; }
  friend bool operator!=(const CString &a, const CString &b) { return a.m_text != b.m_text; }
  friend bool operator==(const CString &a, const wchar_t *b) { return a.m_text == (b ? b : L""); }
  friend bool operator!=(const CString &a, const wchar_t *b) { return !(a == b); }
  friend bool operator==(const wchar_t *a, const CString &b) { return b == a; }
  friend bool operator!=(const wchar_t *a, const CString &b) { return !(b == a); }

private:
  std::wstring m_text;
};
