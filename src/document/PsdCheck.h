// A structural check of Photoshop files before they reach the library's
// decoder, which trusts the counts and sizes in a file and overruns its
// buffers on a damaged one. The check walks the file's sections and the
// run-length rows of its picture and accepts only what adds up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tq {

// True when bytes hold a Photoshop picture (version 1) whose header values
// are in range and whose sections, resource blocks and picture rows all lie
// inside the file.
bool psdStructureSound(const std::vector<uint8_t>& bytes);
// The same for the file at path (false when it cannot be read).
bool psdFileStructureSound(const std::string& path);

} // namespace tq
