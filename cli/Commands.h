// The pelmora command's sub-commands. Each takes the arguments after its
// name and returns the exit status (see ExitStatus).
#pragma once

#include "opennurbs.h"

#include <string>
#include <vector>

namespace pelmora::cli {

struct Settings
{
  bool quiet = false; // no progress line and no summary on standard output
};

int RunDrape(const std::vector<std::string> &args, const Settings &settings);
int RunWrap(const std::vector<std::string> &args, const Settings &settings);
int RunAnalyze(const std::vector<std::string> &args, const Settings &settings);

// Loads the cloud at `path` or, when `path` is empty, the bundled sample
// (its name "panel.xyz"). `format` names the file's format when its
// extension does not ("" to go by the extension). Prints the reader's
// message and returns false on failure.
bool LoadCloud(const std::string &path, const std::string &format, ON_3dPointArray &points,
               std::string &name);

// The help line of the --format option every command takes.
extern const char *const kFormatHelp;

// The bundled sample cloud, a car-body panel probed from above.
std::string_view BundledSample();

// "pelmora: <message>" on standard error.
void PrintError(const std::string &message);

// The file name without folder and extension ("a/b/panel.xyz" -> "panel").
std::string Stem(const std::string &path);

} // namespace pelmora::cli
