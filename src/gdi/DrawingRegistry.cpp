#include "gdi/DrawingRegistry.h"

namespace tq::gdi {

namespace {

DrawingRegistry& runsOwn()
{
    static DrawingRegistry runs;
    return runs;
}

DrawingRegistry*& inUse()
{
    static DrawingRegistry* current = &runsOwn();
    return current;
}

} // namespace

DrawingRegistry& drawingRegistry() { return *inUse(); }

DrawingRegistry* useDrawingRegistry(DrawingRegistry* r)
{
    DrawingRegistry* was = inUse();
    inUse() = r ? r : &runsOwn();
    return was;
}

} // namespace tq::gdi
