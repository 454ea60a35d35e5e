// The palettes shipped in the program folder's "Palettes" are files the
// palette dialog opens: each decodes whole, with every entry in range.
#include "filters/Palette.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tq {

TEST(ShippedPalettes, EachOneDecodesWhole)
{
    const std::filesystem::path folder = std::filesystem::path(QT_TESTCASE_SOURCEDIR) / ".." / "resources" / "Palettes";
    const struct {
        const char* name;
        int count;
    } shipped[] = {{"Grey 16.pal", 16}, {"VGA 16.pal", 16}, {"Web 216.pal", 216}};
    for (const auto& p : shipped) {
        SCOPED_TRACE(p.name);
        std::ifstream in(folder / p.name, std::ios::binary);
        ASSERT_TRUE(in);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const std::optional<PaletteRecord> rec = PaletteFile::decode(bytes);
        ASSERT_TRUE(rec.has_value());
        EXPECT_EQ(rec->Count, p.count);
        EXPECT_EQ(bytes.size(), 14u + 12u * static_cast<size_t>(p.count));
    }
}

} // namespace tq
