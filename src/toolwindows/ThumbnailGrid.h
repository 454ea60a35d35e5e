// The arithmetic of the browser's thumbnail grid, without any window: how
// many columns fit the pane, where cell i goes, how high the panel of cells
// is, the resolution label and how a file name is shortened to its cell.
//
// Cell i (cell 0 leads one folder up) sits in row floor(i / K) and column
// i mod K, at x = (i mod K) x 1.07 x W and y = row x f x H, each rounded
// half to even, where W x H is the cell's button, K the column count and f
// the row pitch: 1.55 when both the name and the resolution labels show,
// 1.3 otherwise.
#pragma once

#include "platform/TextWidth.h"

#include <cstdint>
#include <string>

namespace tq::browser {

inline constexpr int kSideAllowance = 75;    // taken from the pane width before counting columns
inline constexpr double kColumnPitch = 1.07;
inline constexpr double kRowPitchBothLabels = 1.55;
inline constexpr double kRowPitch = 1.3;
inline constexpr int kPanelGap = 10;         // panel width = pane - scroll bar - 10
inline constexpr int kScrollBarGap = 8;      // scroll bar left = pane - scroll bar - 8
inline constexpr int kNameMargin = 15;       // room for a name = button width - 15
inline constexpr int kScrollBarWidth = 17;
inline constexpr int kLabelHeight = 17;
inline constexpr const char* kEllipsis = "...";
inline constexpr const char* kFolderUpCaption = "One Level up..";

double rowPitch(bool showName, bool showResolution);

// floor((paneWidth - 75) / cellWidth). A pane too narrow for one column
// (or a cell without width) still gets one, so every cell has a place.
int32_t gridColumns(int32_t paneWidth, int32_t cellWidth);

struct CellPlace {
    int32_t x = 0;
    int32_t y = 0;
};
CellPlace cellPlace(int32_t i, int32_t columns, int32_t cellWidth, int32_t cellHeight, double pitch);

// The panel's height for n cells (cell 0 included) of cellHeight with
// labels of nameHeight and resolutionHeight (0 for a hidden label):
// floor(n / K) rows at the pitch plus the labels, and a whole cell more
// when the last row is not full.
int32_t panelHeight(int32_t cells, int32_t columns, int32_t cellHeight, int32_t nameHeight, int32_t resolutionHeight,
                    double pitch);

// "640x480x24b".
std::string resolutionText(int32_t width, int32_t height, int32_t bitsPerPixel);

// The name as it fits a cell whose button is buttonWidth wide: whole when
// it fits buttonWidth - 15; otherwise cut, a character at a time, until it
// fits that room less the width of "...", and "..." appended. The cutting
// ends at the empty name at the latest (a cell too narrow for "..." shows
// "..." alone).
std::string shortenName(const std::string& name, int32_t buttonWidth, const TextWidth& measure);

} // namespace tq::browser
