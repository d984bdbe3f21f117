// Loading the parts that need heavy libraries (Qt, VTK) only when a call
// needs them. A module is a shared object looked for in the `pelmora`
// folder beside the binary that asks for it (the library or the tool), in
// the library folder of its prefix (for a tool in bin/), then in the build
// tree's module folder. Each is loaded once and stays loaded.
#pragma once

#include <string>

namespace pelmora {

// The named entry point of module `file` (for example "libpelmora_qt.so"),
// or null with `error` saying which module could not be loaded and why.
// `anchor` is any address inside the binary asking.
void *ModuleEntry(const char *file, const char *entry, const void *anchor, std::string &error);

} // namespace pelmora
