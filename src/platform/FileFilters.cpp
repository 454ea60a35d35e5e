#include "platform/FileFilters.h"

#include <cctype>

namespace tq::platform {

namespace {

std::vector<std::string> split(const std::string& s, char sep)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t p = s.find(sep, start);
        out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) return out;
        start = p + 1;
    }
}

std::string trimmed(const std::string& s)
{
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

} // namespace

std::string caseBlindPattern(const std::string& pattern)
{
    std::string out;
    for (const char ch : pattern) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalpha(c)) {
            out += '[';
            out += static_cast<char>(std::tolower(c));
            out += static_cast<char>(std::toupper(c));
            out += ']';
        } else {
            out += ch;
        }
    }
    return out;
}

std::vector<std::string> dialogNameFilters(const std::string& pairs)
{
    std::vector<std::string> out;
    if (pairs.empty()) return out;
    const std::vector<std::string> parts = split(pairs, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns;
        for (const std::string& p : split(parts[i + 1], ';')) {
            const std::string t = trimmed(p);
            if (t.empty()) continue;
            if (!patterns.empty()) patterns += ' ';
            patterns += caseBlindPattern(t);
        }
        out.push_back(parts[i] + (parts[i].empty() ? "" : " ") + "(" + patterns + ")");
    }
    return out;
}

} // namespace tq::platform
