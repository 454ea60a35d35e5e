// Shared routines: text and arrays, the special folders, the temporary
// bitmap name, the numeric text-box conventions, and the picture record.
#pragma once

#include "core/BitsBuffer.h"
#include "widgets/Controls.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tq::mAPI {

// ---- Text and arrays -------------------------------------------------------

// The pieces of text between occurrences of delimiter, searched from the left
// without overlap; always at least one piece. An empty delimiter (which no
// caller passes) gives the whole text as the one piece.
std::vector<std::string> SplitString(const std::string& text, const std::string& delimiter);

// The number of elements of an array (its upper bound + 1), 0 when it holds
// none; saturates at 32767 like the 16-bit count it stands for.
template <class T>
int16_t ArrayCount(const std::vector<T>& a)
{
    return static_cast<int16_t>(a.size() > 32767u ? 32767u : a.size());
}

// The text before the first zero character.
std::string StripAtNul(const std::string& text);

// ---- Folders ---------------------------------------------------------------

// The folder the program keeps its desktop wallpaper bitmap in:
// $XDG_DATA_HOME/talvex-quarlend (by default ~/.local/share/talvex-quarlend),
// made when asked for; "" when it cannot be made.
std::string GetWindowsDir();
// The private temporary folder followed by "/"; "" when there is none.
std::string GetTempDir();
// The temporary bitmap "t65s8s98" inside the private temporary folder; ""
// when there is no such folder.
std::string GetTempBitmapName();
// The user's desktop folder: XDG_DESKTOP_DIR of the user's
// user-dirs.dirs when set there, else $HOME/Desktop; "" without a home.
std::string GetDesktopFolder();

// ---- Numeric text boxes ----------------------------------------------------

// Keeps the digit keys (48..57) and Backspace (8); any other code becomes 0.
void FilterDigitKey(int16_t& keyAscii);
void SelectAllText(TextBox& text);
// Keeps a slider in step with its text box: an empty text becomes Min
// (selected whole), a text below Min becomes Min, above Max becomes Max, and
// the slider takes the text's leading number rounded half to even. Each
// step's failure is absorbed.
void SyncSliderFromText(SliderControl& slider, TextBox& text);
// The same against an up-down's 16-bit limits and value.
void SyncScrollFromText(UpDownControl& upDown, TextBox& text);
// As SyncScrollFromText, but a failing step throws to the caller
// (std::overflow_error when the value does not fit 16 bits).
void SyncScrollFromText2(TextBox& text, UpDownControl& upDown);
void SliderFromScroll(UpDownControl& upDown, SliderControl& slider);
void ScrollFromSlider(UpDownControl& upDown, SliderControl& slider);

// ---- Pictures --------------------------------------------------------------

// Sets the record's header for a top-down 32-bit picture of w x h and gives
// it a zeroed pixel array of 4 * w * h bytes (none for a side below 1).
void MakeDibHeader(DibRecord& record, int32_t w, int32_t h);

} // namespace tq::mAPI
