// Runs one statement of a handler or routine whose failure is skipped: what
// it throws is dropped and the next statement runs, as the event handlers
// of the windows are written.
//
// What it guards against: a control refusing a value outside its range
// (InvalidPropertyValue from the sliders, up-downs and effect controls), a
// picture that cannot be made or written (std::length_error from a buffer
// beyond the size limit, DibFileError from a bitmap file that cannot be
// opened, std::domain_error from an empty or unreducible bitmap), a typed
// number too large for its field (std::overflow_error) and an allocation
// that fails. None of them may end the handler half-way: the statements
// after it still run. A debug build writes what it dropped to stderr, so
// that a statement failing for any other reason does not go unseen.
#pragma once

#ifndef NDEBUG
#include <cstdio>
#include <exception>
#endif

namespace tq {

#ifndef NDEBUG
inline void reportSkippedStep(const std::exception_ptr& thrown)
{
    try {
        std::rethrow_exception(thrown);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "step skipped: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "step skipped: an exception of no standard type\n");
    }
}
#endif

template <class F>
void step(F&& f)
{
    try {
        f();
    } catch (...) {
#ifndef NDEBUG
        reportSkippedStep(std::current_exception());
#endif
    }
}

} // namespace tq
