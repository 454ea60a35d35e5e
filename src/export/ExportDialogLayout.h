// The export dialogs' places are written in twips and laid out in pixels.
#pragma once

#include "platform/Ports.h"

#include <QRect>

namespace tq {

inline int exportTwipsToPixels(int twips) { return twips / platform::kTwipsPerPixel; }

inline QRect exportTwipsRect(int left, int top, int width, int height)
{
    return QRect(exportTwipsToPixels(left), exportTwipsToPixels(top), exportTwipsToPixels(width),
                 exportTwipsToPixels(height));
}

} // namespace tq
