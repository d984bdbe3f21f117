// A fresh temporary folder for a test, removed with its contents afterwards.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <dirent.h>

namespace pelmora::test {

class TempFolder
{
public:
  TempFolder()
  {
    char pattern[] = "/tmp/pelmora-test-XXXXXX";
    m_path = ::mkdtemp(pattern) ? pattern : "/tmp";
  }
  ~TempFolder() { std::system(("rm -rf '" + m_path + "'").c_str()); }
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;

  const std::string &Path() const { return m_path; }
  std::string operator/(const std::string &name) const { return m_path + "/" + name; }

  std::string Write(const std::string &name, const std::string &contents) const
  {
    std::ofstream(m_path + "/" + name, std::ios::binary) << contents;
    return m_path + "/" + name;
  }
  static std::string Read(const std::string &path)
  {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Names in the folder, hidden ones included.
  std::vector<std::string> Entries() const
  {
    std::vector<std::string> names;
    if (DIR *dir = ::opendir(m_path.c_str())) {
      while (dirent *entry = ::readdir(dir))
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
          names.push_back(entry->d_name);
      ::closedir(dir);
    }
    return names;
  }

private:
  std::string m_path;
};

} // namespace pelmora::test
