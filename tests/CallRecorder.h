// The part of a test engine that writes down the members asked of it, each
// call as "Name(a,b,...)": booleans as true and false, 16-bit integers as
// "i16:N", 32-bit integers plainly, singles as "f:" and their shortest
// form, texts in double quotes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tq::testing {

struct CallRecorder {
    std::vector<std::string> calls;

    static std::string num(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", v);
        return buf;
    }
    static std::string arg(bool v) { return v ? "true" : "false"; }
    static std::string arg(int16_t v) { return "i16:" + std::to_string(v); }
    static std::string arg(int32_t v) { return std::to_string(v); }
    static std::string arg(float v) { return "f:" + num(v); }
    static std::string arg(std::string_view v) { return "\"" + std::string(v) + "\""; }

    template <class... A>
    void record(const char* name, A... args)
    {
        std::string s = std::string(name) + "(";
        bool first = true;
        ((s += (first ? "" : ","), s += arg(args), first = false), ...);
        calls.push_back(s + ")");
    }
};

} // namespace tq::testing
