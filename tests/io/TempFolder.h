// A fresh temporary folder for a test, removed with its contents afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace pelmora::test {

class TempFolder
{
public:
  TempFolder()
  {
    char pattern[] = "/tmp/pelmora-test-XXXXXX";
    if (!::mkdtemp(pattern))
      std::abort();
    m_path = pattern;
  }
  ~TempFolder() { std::filesystem::remove_all(m_path); }
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;

  const std::string &Path() const { return m_path; }
  std::string operator/(const std::string &name) const { return m_path + "/" + name; }

  std::string Write(const std::string &name, const std::string &contents) const
  {
    std::ofstream(*this / name, std::ios::binary) << contents;
    return *this / name;
  }
  static std::string Read(const std::string &path)
  {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Names in the folder, hidden ones included.
  std::set<std::string> Entries() const
  {
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(m_path))
      names.insert(entry.path().filename());
    return names;
  }

private:
  std::string m_path;
};

} // namespace pelmora::test
