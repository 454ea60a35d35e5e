// The browser's file-type pictures: each picture type its own, at both
// sizes the list shows, and the generic page for anything else.
#include "toolwindows/FileTypeIcons.h"
#include "toolwindows/FolderListing.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace tq::browser;

TEST(FileTypeIcons, EachPictureTypeHasAPictureOfItsOwn)
{
    for (int side : {32, 16}) {
        const QImage generic = fileTypePicture("", side);
        EXPECT_EQ(generic.size(), QSize(side, side));
        // Not a picture type, or not one in these lower-case letters.
        for (const char* other : {"txt", "ico", "JPG", "doc"}) EXPECT_EQ(fileTypePicture(other, side), generic) << other;

        std::set<std::string> pictures;
        for (const char* e : iconExtensions()) {
            const QImage picture = fileTypePicture(e, side);
            ASSERT_EQ(picture.size(), QSize(side, side)) << e;
            EXPECT_NE(picture, generic) << e;
            EXPECT_EQ(picture, fileTypePicture(e, side)) << e << " is drawn the same each time";
            pictures.insert(std::string(reinterpret_cast<const char*>(picture.constBits()), picture.sizeInBytes()));
        }
        // At 32 pixels the extension is written on it: no two alike. At 16
        // only the colour tells them apart, and a few may come close.
        if (side == 32) EXPECT_EQ(pictures.size(), iconExtensions().size());
        else EXPECT_GE(pictures.size(), iconExtensions().size() * 9 / 10);
    }
}
