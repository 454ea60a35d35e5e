// What a piece of code writes on the process's standard error (file
// descriptor 2, so the libraries' own writes are caught too).
#pragma once

#include "FileBytes.h"

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace tq::testing {

// Runs f with standard error sent to the file `scratch` (in the test's own
// folder; removed afterwards) and gives what was written there.
template <class F>
std::string standardErrorOf(const std::string& scratch, F f)
{
    std::fflush(stderr);
    const int saved = ::dup(2);
    const int file = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (saved < 0 || file < 0) return "cannot capture standard error";
    ::dup2(file, 2);
    ::close(file);
    f();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    const std::vector<uint8_t> said = readFile(scratch);
    std::remove(scratch.c_str());
    return std::string(said.begin(), said.end());
}

} // namespace tq::testing
