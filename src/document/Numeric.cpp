#include "document/Numeric.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace tq {

double Val(std::string_view text)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
        ++i;
    const size_t start = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t digitsStart = i;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    bool any = i > digitsStart;
    if (i < n && text[i] == '.') {
        ++i;
        const size_t fracStart = i;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        any = any || i > fracStart;
    }
    if (!any) return 0.0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        const size_t expStart = j;
        while (j < n && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
        if (j > expStart) i = j;
    }
    const std::string number(text.substr(start, i - start));
    return std::strtod(number.c_str(), nullptr);
}

} // namespace tq
