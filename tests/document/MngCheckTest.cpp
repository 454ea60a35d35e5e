// A multiple-image network graphic reaches the library's reader only when its
// chunks add up to the end of its first picture: the reader looped for ever
// on a file ending in a damaged chunk without data (and, depending on what
// memory held, on a file cut inside its first chunk).
#include "document/StructureCheck.h"
#include "document/PictureRouting.h"

#include "document/FormatFixtures.h"
#include "document/PictureFixtures.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

using namespace testing;

const Bytes kSignature = {0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

Bytes signatureAnd(const Bytes& rest)
{
    Bytes b = kSignature;
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

TEST(MngCheck, OpensToTheEndOfTheFirstPictureAndRefusesShorterCuts)
{
    PictureTempDir dir;
    const Bytes good = mngFile(7, 5);
    const size_t pictureEnd = good.size() - 12;   // the closing chunk has no data
    // The closing chunk may be missing or cut; "jng" goes by the file's own
    // type, which is this reader's too.
    for (size_t cut : {good.size(), good.size() - 1, pictureEnd}) {
        for (const char* ext : {"mng", "jng"}) {
            std::string name = std::to_string(cut);
            name.append(".").append(ext);
            const std::string path = dir.path(name);
            writeFile(path, Bytes(good.begin(), good.begin() + long(cut)));
            const BitmapHandle h = mBitmap::LoadImageFile(path, ext);
            ASSERT_NE(h, nullptr) << cut << " " << ext;
            EXPECT_EQ(h->dib.width, 7);
            EXPECT_EQ(h->dib.height, 5);
        }
    }
    for (size_t cut = 0; cut < pictureEnd; ++cut)
        EXPECT_FALSE(mngStructureSound(Bytes(good.begin(), good.begin() + long(cut)))) << cut;
}

TEST(MngCheck, DamagedFilesAreRefusedBeforeTheReader)
{
    // A chunk without data whose check value is zero (wrong): at the end of
    // the file the reader went on for ever.
    const Bytes noData = {0, 0, 0, 0, 't', 'E', 'X', 't', 0, 0, 0, 0};
    Bytes header;
    addChunk(header, "MHDR", Bytes(28, 0));
    Bytes pastTheEnd = header;
    pastTheEnd[3] = 200;   // length 200, 28 bytes there
    Bytes huge = header;
    huge[0] = 0x80;        // length over 2^31
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"signature only", kSignature},
        {"signature and one byte", signatureAnd({0})},
        {"ends after a chunk without data", signatureAnd(noData)},
        {"ends a byte after a chunk without data", signatureAnd([&] {
             Bytes b = noData;
             b.push_back(0);
             return b;
         }())},
        {"no picture after the header", signatureAnd(header)},
        {"chunk longer than the file", signatureAnd(pastTheEnd)},
        {"chunk length over 2^31", signatureAnd(huge)},
        {"another signature", [&] {
             Bytes b = mngFile(7, 5);
             b[1] = 'X';
             return b;
         }()},
    };
    PictureTempDir dir;
    for (const auto& c : cases) {
        EXPECT_FALSE(mngStructureSound(c.bytes)) << c.name;
        writeFile(dir.path("d.mng"), c.bytes);
        EXPECT_EQ(mBitmap::LoadImageFile(dir.path("d.mng"), "mng"), nullptr) << c.name;
    }
    // The file that hung the reader, found by its type.
    writeFile(dir.path("d.jng"), signatureAnd(noData));
    EXPECT_EQ(mBitmap::LoadImageFile(dir.path("d.jng"), "jng"), nullptr);
}

} // namespace
} // namespace tq
