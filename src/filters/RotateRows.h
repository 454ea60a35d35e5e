// The smooth turn computes its rows with wide vector instructions where the
// processor has them, and with plain ones otherwise; both give the same
// bytes. Tests switch the vector rows off to check the plain ones too.
#pragma once

namespace tq {

void allowVectorRotation(bool allow);

} // namespace tq
