#include "framework/CString.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace {

void AppendUtf8(std::string &out, char32_t c)
{
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::wstring DecodeUtf8(const char *text)
{
  std::wstring out;
  const auto *p = reinterpret_cast<const unsigned char *>(text);
  while (*p) {
    unsigned char b = *p;
    int extra = b < 0x80           ? 0
                : (b >> 5) == 0x6  ? 1
                : (b >> 4) == 0xE  ? 2
                : (b >> 3) == 0x1E ? 3
                                   : -1;
    if (extra < 0) {
      out += L'\xFFFD';
      ++p;
      continue;
    }
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    int k = 1;
    for (; k <= extra; ++k) {
      if ((p[k] & 0xC0) != 0x80)
        break;
      c = (c << 6) | (p[k] & 0x3F);
    }
    if (k <= extra) { // truncated sequence
      out += L'\xFFFD';
      p += k;
      continue;
    }
    static const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    bool valid = c >= minimum[extra] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
    out += valid ? static_cast<wchar_t>(c) : L'\xFFFD';
    p += extra + 1;
  }
  return out;
}

// Rewrites the framework's wide-format conventions into the C library's:
// a bare %s / %c takes a wide argument, %hs / %hc a narrow one.
std::wstring ToCFormat(const wchar_t *format)
{
  std::wstring out;
  for (const wchar_t *p = format; *p; ++p) {
    out += *p;
    if (*p != L'%')
      continue;
    ++p;
    if (*p == L'%') {
      out += *p;
      continue;
    }
    // flags, width, precision
    while (*p && std::wcschr(L"-+ #0123456789.*", *p))
      out += *p++;
    if (*p == L'h' && (p[1] == L's' || p[1] == L'c')) {
      out += p[1];
      ++p;
      continue;
    }
    if (*p == L's' || *p == L'c')
      out += L'l';
    if (!*p)
      break;
    out += *p;
  }
  return out;
}

// Format's buffer starts at the first size and grows fourfold. vswprintf
// fails alike for a short buffer and for text it cannot encode, so past the
// last size a failure is taken for the latter.
constexpr size_t kFirstFormatBuffer = 128;
constexpr size_t kLastFormatBuffer = size_t(1) << 24;

} // namespace

CString::CString() = default;
CString::CString(const wchar_t *text) : m_text(text ? text : L"") {}
CString::CString(const char *text) : m_text(text ? DecodeUtf8(text) : std::wstring()) {}
CString::CString(const std::wstring &text) : m_text(text) {}

CString &CString::operator=(const wchar_t *text)
{
  m_text = text ? text : L"";
  return *this;
}

CString &CString::operator=(const char *text)
{
  m_text = text ? DecodeUtf8(text) : std::wstring();
  return *this;
}

CString &CString::operator+=(const CString &other)
{
  m_text += other.m_text;
  return *this;
}

CString operator+(const CString &a, const CString &b)
{
  CString result(a);
  result += b;
  return result;
}

void CString::Format(const wchar_t *format, ...)
{
  if (!format) {
    m_text.clear();
    return;
  }
  const std::wstring cformat = ToCFormat(format);
  std::vector<wchar_t> buffer(kFirstFormatBuffer);
  for (;;) {
    va_list args;
    va_start(args, format);
    int written = std::vswprintf(buffer.data(), buffer.size(), cformat.c_str(), args);
    va_end(args);
    if (written >= 0 && static_cast<size_t>(written) < buffer.size()) {
      m_text.assign(buffer.data(), static_cast<size_t>(written));
      return;
    }
    if (buffer.size() >= kLastFormatBuffer) { // an encoding error, not a short buffer
      m_text.clear();
      return;
    }
    buffer.resize(buffer.size() * 4);
  }
}

std::string CString::ToUtf8() const
{
  std::string out;
  out.reserve(m_text.size());
  for (wchar_t c : m_text) {
    auto code = static_cast<char32_t>(c);
    AppendUtf8(out, code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ? U'\xFFFD' : code);
  }
  return out;
}

CString CString::FromUtf8(const std::string &text)
{
  return CString(text.c_str());
}
