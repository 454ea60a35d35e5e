// The drawing layer's device contexts and objects alive now, so that a
// handle already deleted (or never made) is refused instead of used. Each
// program context holds a registry of its own (a test starts with none) and
// makes it the one in use while it is installed.
#pragma once

#include <unordered_set>

namespace tq::gdi {

struct DrawingRegistry {
    std::unordered_set<const void*> contexts;
    std::unordered_set<const void*> objects;
};

// The registry in use.
DrawingRegistry& drawingRegistry();
// Makes r the registry in use (null: the run's own) and returns the one
// that was.
DrawingRegistry* useDrawingRegistry(DrawingRegistry* r);

} // namespace tq::gdi
