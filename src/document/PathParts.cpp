#include "document/PathParts.h"

namespace tq::Module4 {

std::string FileTitle(const std::string& path)
{
    const size_t p = path.find_last_of("/\\");
    std::string t = p == std::string::npos ? path : path.substr(p + 1);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
}

} // namespace tq::Module4
