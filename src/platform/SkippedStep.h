// Runs one statement of a handler or routine whose failure is skipped: what
// it throws is dropped and the next statement runs, as the event handlers
// of the windows are written.
#pragma once

namespace tq {

template <class F>
void step(F&& f)
{
    try {
        f();
    } catch (...) {
    }
}

} // namespace tq
