#include "settings/Paths.h"

namespace flikka::paths {

// The portable layout: everything beside the working directory's gfx/.
std::string dataFile(const std::string& relative) { return relative; }
std::string settingsFile(const std::string& name) { return "config/" + name; }
std::string userDataFile(const std::string& relative) { return relative; }

}  // namespace flikka::paths
