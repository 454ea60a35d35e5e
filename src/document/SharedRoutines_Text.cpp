// Text routines of the shared module: splitting and the C-string end.
#include "document/SharedRoutines.h"

namespace tq::mAPI {

std::vector<std::string> SplitString(const std::string& text, const std::string& delimiter)
{
    std::vector<std::string> out;
    if (delimiter.empty()) {
        out.push_back(text);
        return out;
    }
    size_t start = 0;
    for (;;) {
        const size_t p = text.find(delimiter, start);
        if (p == std::string::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, p - start));
        start = p + delimiter.size();
    }
}

std::string StripAtNul(const std::string& text)
{
    const size_t p = text.find('\0');
    return p == std::string::npos ? text : text.substr(0, p);
}

} // namespace tq::mAPI
