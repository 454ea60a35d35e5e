// The engine reads the active document's own pixel block rather than a copy
// of it: across activation, filters, undo, painting and closing, neither side
// writes the block for the other, and a closed document leaves nothing
// dangling behind.
#include "CommandFixture.h"

namespace tq {
namespace {

using testing::CommandFixture;
using testing::CountingImage;

BitsBuffer invertedPattern(int w, int h)
{
    BitsBuffer b = testing::patternBits(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) b.at(c, x, y) = static_cast<uint8_t>(255 - b.at(c, x, y));
    return b;
}

TEST_F(CommandFixture, EngineAndActiveDocumentShareOneBlockAndNeitherWritesItForTheOther)
{
    CountingImage* a = openDocument(5, 4);
    CountingImage* b = openDocument(6, 3);
    const cBitFilter& engine = main->cFilter;
    EXPECT_EQ(engine.Bits().data(), b->Bits().data());

    activate(a);
    ASSERT_EQ(activeDocument(), a);
    EXPECT_EQ(engine.Bits().data(), a->Bits().data());
    EXPECT_TRUE(engineMirrors(*a));

    // A filter's result becomes the document's block, and the engine's.
    main->MenuExec("INVERT");
    EXPECT_EQ(a->Bits(), invertedPattern(5, 4));
    EXPECT_EQ(engine.Bits().data(), a->Bits().data());

    // The engine's own in-place writer leaves the document alone.
    main->cFilter.BitsBlack();
    EXPECT_EQ(a->Bits(), invertedPattern(5, 4));
    EXPECT_EQ(engine.Bits().at(2, 1, 1), 0);

    // Activation mirrors again; painting in place then leaves the engine alone.
    activate(b);
    activate(a);
    ASSERT_TRUE(engineMirrors(*a));
    a->paintBits().at(0, 0, 0) = 1;
    EXPECT_EQ(engine.Bits(), invertedPattern(5, 4));
    EXPECT_EQ(a->Bits().at(0, 0, 0), 1);

    // Undo reads the snapshot into a block of its own, not the engine's.
    main->MenuExec("UNDO");
    EXPECT_EQ(a->Bits(), testing::patternBits(5, 4));
    EXPECT_TRUE(engineMirrors(*a));
    main->MenuExec("REDO");
    EXPECT_EQ(a->Bits(), invertedPattern(5, 4));
    EXPECT_TRUE(engineMirrors(*a));
    main->MenuExec("UNDO");
    EXPECT_EQ(b->Bits(), testing::patternBits(6, 3));

    // Closing a document moves the engine to the next one; closing the
    // last leaves the engine's pixels whole, the block outliving its window.
    closeDocument(a);
    ASSERT_EQ(activeDocument(), b);
    EXPECT_TRUE(engineMirrors(*b));
    main->MenuExec("INVERT");
    EXPECT_EQ(b->Bits(), invertedPattern(6, 3));
    EXPECT_TRUE(engineMirrors(*b));
    const BitsBuffer held = engine.Bits();
    closeDocument(b);
    EXPECT_EQ(documentCount(), 0);
    EXPECT_EQ(engine.Bits(), held);
}

} // namespace
} // namespace tq
