// Unique names for new documents.
#pragma once

#include <string>

namespace tq::Module3 {

// The name itself, or name + "[n]" with the next DupNameCount when a loaded
// document window already has that name as its Tag (exact comparison).
// Advances DocumentCount either way.
std::string UniqueDocName(const std::string& name);

} // namespace tq::Module3
