#include "document/ProgramContext.h"

#include "platform/Folders.h"

namespace tq {

namespace {

// The layers below the context keep their state in it while it is in use.
void installLowerLayers(ProgramContext* c)
{
    useZorveliBinding(&c->zorveli);
    gdi::useDrawingRegistry(&c->drawing);
}

ProgramContext& baseContext()
{
    static ProgramContext base;
    static const bool platformTaken =
        (base.platform = platform::platformContext(), base.zorveli = zorveliBindingInUse(), true);
    (void)platformTaken;
    return base;
}

ProgramContext*& currentContext()
{
    static ProgramContext* current = [] {
        ProgramContext* b = &baseContext();
        platform::installPlatformContext(&b->platform);
        installLowerLayers(b);
        return b;
    }();
    return current;
}

} // namespace

ProgramContext& programContext() { return *currentContext(); }

ScopedContext::ScopedContext()
{
    ProgramContext& outer = programContext();
    ctx_ = std::make_unique<ProgramContext>();
    ctx_->platform = platform::defaultPlatformContext();
    ctx_->platform.ports = outer.platform.ports;
    ctx_->platform.programFolder = outer.platform.programFolder;
    ctx_->platform.tempFolder = outer.platform.tempFolder;
    ctx_->platform.pictureTempFolder = outer.platform.pictureTempFolder;
    ctx_->platform.ownPictureTempFolder = outer.platform.ownPictureTempFolder;
    ctx_->zorveli = outer.zorveli;
    savedProgram_ = &outer;
    savedPlatform_ = platform::installPlatformContext(&ctx_->platform);
    currentContext() = ctx_.get();
    installLowerLayers(ctx_.get());
    // The settings of a first start in that program folder: the open and
    // save folders are whole paths, so a file a command names after them
    // never lands in the working folder.
    ctx_->settings = defaultSettings(platform::programFolder());
}

ScopedContext::~ScopedContext()
{
    currentContext() = savedProgram_;
    platform::installPlatformContext(savedPlatform_);
    installLowerLayers(savedProgram_);
}

} // namespace tq
