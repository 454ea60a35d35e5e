// File-name parts.
#pragma once

#include <string>

namespace tq::Module4 {

// The part of the path after its last separator ("/" or "\"), the whole path
// when it has none, with trailing spaces removed.
std::string FileTitle(const std::string& path);

} // namespace tq::Module4
