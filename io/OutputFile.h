// A FILE with a large buffer whose every failure (open, write, close) is
// kept, for the writers that format their files themselves.
#pragma once

#include "io/IoResult.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace pelmora::io {

class OutputFile
{
public:
  explicit OutputFile(const std::string &path) : m_file(std::fopen(path.c_str(), "wb"))
  {
    if (m_file)
      std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    else
      m_error = errno;
  }
  ~OutputFile()
  {
    if (m_file)
      std::fclose(m_file);
  }
  void Write(const void *data, size_t size)
  {
    if (m_file && std::fwrite(data, 1, size, m_file) != size && !m_error)
      m_error = errno ? errno : EIO;
  }
  void Write(const std::string &text) { Write(text.data(), text.size()); }
  IoResult Close(const std::string &target)
  {
    if (m_file && std::fclose(m_file) != 0 && !m_error)
      m_error = errno ? errno : EIO;
    m_file = nullptr;
    if (m_error)
      return IoResult::Fail("cannot write " + target + ": " + std::strerror(m_error));
    return IoResult::Ok();
  }

private:
  std::FILE *m_file;
  int m_error = 0;
};

} // namespace pelmora::io
