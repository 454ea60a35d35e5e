#include "document/ProgramContext.h"
#include "document/PictureRouting.h"
#include "filters/Palette.h"
#include "platform/PictureFiles.h"
#include "platform/PlatformContext.h"
#include "platform/Ports.h"
#include "effectslib/EffectsLibraryApi.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

void bindNothing(ZorveliLib&) {}

// What a run keeps for itself starts afresh in a test's context, and what
// the run has only once (its private folder, the effects library) is the
// one around it; leaving the context brings the outer state back whole.
TEST(ScopedContext, RunStateIsFreshButTheRunsOwnIsShared)
{
    ScopedContext outer;
    PaletteRecord three;
    three.Count = 3;
    three.entries.resize(3);
    CurrentPalette() = three;
    PreloadedBitmap() = std::make_shared<LoadedBitmap>();
    outer->SelectionDialogFile = "a.qsf";
    outer->ToolWindowClosed = [](const std::string&) {};
    outer->drawing.objects.insert(&three);
    registerZorveliBinder(&bindNothing);
    setPictureTempFolder("/somewhere/tmp");
    const auto ownFolder = outer->platform.ownPictureTempFolder;
    {
        ScopedContext inner;
        EXPECT_EQ(CurrentPalette(), PaletteRecord{});
        EXPECT_EQ(PreloadedBitmap(), nullptr);
        EXPECT_EQ(inner->SelectionDialogFile, "");
        EXPECT_FALSE(inner->ToolWindowClosed);
        EXPECT_TRUE(inner->drawing.objects.empty());
        EXPECT_TRUE(inner->documents.empty());
        EXPECT_EQ(inner->shell, nullptr);
        EXPECT_FALSE(platform::insideDoEvents());
        EXPECT_EQ(inner->zorveli.binder, &bindNothing);
        EXPECT_EQ(pictureTempFolder(), "/somewhere/tmp");
        EXPECT_EQ(inner->platform.ownPictureTempFolder, ownFolder);
        CurrentPalette().Count = 7;
        setPictureTempFolder("");
    }
    EXPECT_EQ(CurrentPalette(), three);
    EXPECT_NE(PreloadedBitmap(), nullptr);
    EXPECT_EQ(outer->SelectionDialogFile, "a.qsf");
    EXPECT_EQ(outer->drawing.objects.size(), 1u);
    EXPECT_EQ(pictureTempFolder(), "/somewhere/tmp");
}

// Names stay unique across contexts: they share the run's numbers.
TEST(ScopedContext, PictureTempNamesStayUniqueAcrossContexts)
{
    ScopedContext outer;
    setPictureTempFolder("/somewhere/tmp");
    const std::string first = uniquePictureTempName("x");
    std::string second;
    {
        ScopedContext inner;
        second = uniquePictureTempName("x");
    }
    EXPECT_NE(first, second);
    EXPECT_NE(uniquePictureTempName("x"), second);
}

} // namespace
} // namespace tq
