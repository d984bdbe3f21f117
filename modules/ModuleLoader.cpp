#include "modules/ModuleLoader.h"

#include <dlfcn.h>
#include <unistd.h>
#include <map>
#include <mutex>
#include <vector>

namespace pelmora {
namespace {

std::string FolderOf(const std::string &path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::vector<std::string> Candidates(const char *file, const void *anchor)
{
  std::vector<std::string> paths;
  Dl_info info{};
  if (anchor && dladdr(anchor, &info) && info.dli_fname && *info.dli_fname) {
    const std::string folder = FolderOf(info.dli_fname);
    paths.push_back(folder + "/pelmora/" + file);
    paths.push_back(folder + "/../" PELMORA_INSTALL_LIBDIR "/pelmora/" + file);
  }
  paths.push_back(std::string(PELMORA_BUILD_MODULE_DIR "/") + file);
  return paths;
}

} // namespace

void *ModuleEntry(const char *file, const char *entry, const void *anchor, std::string &error)
{
  static std::mutex mutex;
  static std::map<std::string, void *> loaded; // handles stay open for the process
  std::lock_guard<std::mutex> lock(mutex);
  void *&handle = loaded[file];
  std::string reasons;
  for (const std::string &path : Candidates(file, anchor)) {
    if (handle)
      break;
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char *why = dlerror();
      // A missing candidate says little; a module found but not loadable
      // says what is wrong with it.
      if (why && access(path.c_str(), F_OK) == 0)
        reasons = why;
    }
  }
  if (!handle) {
    error = std::string("cannot load the module ") + file +
            (reasons.empty() ? std::string(" (not installed)") : ": " + reasons);
    return nullptr;
  }
  void *symbol = dlsym(handle, entry);
  if (!symbol)
    error = std::string("cannot load the module ") + file + ": no entry point " + entry;
  return symbol;
}

} // namespace pelmora
