// Whole-file reading for the point readers: a regular file is mapped into
// memory (read ahead at once), anything else is read into a buffer.
#pragma once

#include "io/IoResult.h"

#include <string>
#include <string_view>

namespace pelmora::io {

class FileContents
{
public:
  FileContents() = default;
  ~FileContents();
  FileContents(const FileContents &) = delete;
  FileContents &operator=(const FileContents &) = delete;

  // Fails with "cannot open PATH: <reason>" or "cannot read PATH: <reason>".
  IoResult Load(const std::string &path);
  std::string_view View() const { return m_view; }

private:
  void *m_mapping = nullptr;
  size_t m_mappedSize = 0;
  std::string m_buffer;
  std::string_view m_view;
};

// The lower-case extension of `path` without the dot ("" when none).
std::string LowerExtension(const std::string &path);

} // namespace pelmora::io
