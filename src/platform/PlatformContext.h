// What the platform layer keeps for the run: the ports, the program-wide
// random generator, the clock that paces progress, the folders and the
// memory budget of a picture. It is
// part of the program context (document/ProgramContext.h): a test that makes
// a fresh context gets a fresh one of these too, so no test depends on what
// an earlier one left behind.
#pragma once

#include "platform/Clock.h"
#include "platform/PictureFiles.h"
#include "platform/Ports.h"
#include "platform/Random.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tq::platform {

struct PlatformContext {
    Ports ports;                 // the Qt implementations unless swapped
    Random random;               // seeded from the clock at start-up
    Clock* clock = nullptr;      // null: the system's clock
    std::string programFolder;   // empty: the executable's folder
    std::string tempFolder;      // empty: the private folder made on first use
    // The most memory one picture may take (see PictureMemory.h); 0: the
    // machine's share. A test sets a small one so that no test needs
    // gigabytes to see a picture refused.
    uint64_t pictureMemoryBudget = 0;
    // True while DoEvents is running (Ports.h).
    bool insideDoEvents = false;
    // The picture files' conversion folder (PictureFiles.h): a test's own
    // when set; otherwise the run's private one, which every context of
    // the run shares with the numbers that keep its file names unique.
    std::string pictureTempFolder;
    std::shared_ptr<PictureTempFolder> ownPictureTempFolder = std::make_shared<PictureTempFolder>();
};

// The context in use.
PlatformContext& platformContext();
// Makes `ctx` the context in use and returns the previous one (the program
// context's scope switches both together).
PlatformContext* installPlatformContext(PlatformContext* ctx);
// A context with the Qt ports and nothing else set.
PlatformContext defaultPlatformContext();

} // namespace tq::platform
