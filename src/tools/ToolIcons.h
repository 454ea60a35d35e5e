// The pictures of the tool bar's fifteen buttons, drawn by the program
// itself: picture i belongs to button i and is also the current-tool icon
// of the option bar after a click on that button.
#pragma once

#include <QImage>

#include <cstdint>

namespace tq::tools {

inline constexpr int kToolIconSize = 24;

// Picture i (1 to 15) of the tool pictures; a null image for another i.
QImage toolPicture(int16_t index);

} // namespace tq::tools
