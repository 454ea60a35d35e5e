#include "gdi/DrawingRegistry.h"

#include "core/InstalledState.h"

namespace tq::gdi {

namespace {

InstalledState<DrawingRegistry>& state()
{
    static InstalledState<DrawingRegistry> s;
    return s;
}

} // namespace

DrawingRegistry& drawingRegistry() { return state().get(); }

DrawingRegistry* useDrawingRegistry(DrawingRegistry* r) { return state().use(r); }

} // namespace tq::gdi
