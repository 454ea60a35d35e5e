// Small pictures and a private folder for the picture file tests.
#pragma once

#include "FileBytes.h"
#include "TempFolder.h"
#include "core/BitsBuffer.h"
#include "platform/PictureFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tq::testing {

// A folder of the test's own, removed afterwards; the program's temporary
// conversion files go to its subfolder "tmp" while it lives.
class PictureTempDir {
public:
    PictureTempDir()
    {
        std::filesystem::create_directory(tempFolder());
        setPictureTempFolder(tempFolder());
    }
    ~PictureTempDir() { setPictureTempFolder(""); }
    std::string path(const std::string& name) const { return root_ + "/" + name; }
    std::string tempFolder() const { return root_ + "/tmp"; }
    // Entries left in the private temporary folder.
    size_t tempEntries() const
    {
        size_t n = 0;
        for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(tempFolder())) ++n;
        return n;
    }
    size_t entries() const
    {
        size_t n = 0;
        for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(root_)) ++n;
        return n;
    }

private:
    const TempFolder folder_{"tq-picture-test"};
    const std::string root_ = folder_.path().string();
};

// A top-down 32-bit picture whose pixel (x, y) is given by f(x, y) as
// {blue, green, red}; the fourth byte is 0.
template <class F>
DibRecord pictureOf(int w, int h, F f)
{
    DibRecord d;
    d.width = w;
    d.height = h;
    d.header = BitsHeader::forDib(w, h);
    d.bits.assign(4u * size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::array<uint8_t, 3> c = f(x, y);
            uint8_t* p = d.row(y) + 4 * x;
            p[0] = c[0];
            p[1] = c[1];
            p[2] = c[2];
        }
    return d;
}

// Distinct colours in every pixel, fourth byte 0.
inline DibRecord makePicture(int w, int h)
{
    return pictureOf(w, h, [](int x, int y) {
        return std::array<uint8_t, 3>{uint8_t(30 * x + 7), uint8_t(45 * y + 11),
                                      uint8_t((x * 37 + y * 91 + 60) & 0xFF)};
    });
}

// Largest difference of blue, green or red between two pictures of one size.
inline int maxColourDifference(const DibRecord& a, const DibRecord& b)
{
    int worst = 0;
    for (size_t i = 0; i < a.bits.size(); ++i) {
        if (i % 4 == 3) continue;
        worst = std::max(worst, std::abs(int(a.bits[i]) - int(b.bits[i])));
    }
    return worst;
}

} // namespace tq::testing
