#pragma once
// The action bars' private window messages (above the platform's user range, below the
// framework's own).
#include <cstdint>

namespace tavelo {

// A control of the bar was selected: every other selected control of the bar lets go.
inline constexpr std::uint32_t CM_ITEMSELECTED = 46082;
// A control's item was clicked (menus close, then run it).
inline constexpr std::uint32_t CM_ITEMCLICKED = 46083;
// A control's item was chosen from the keyboard.
inline constexpr std::uint32_t CM_ITEMKEYED = 46084;
// The bar goes back to the items it had before the settings file was read.
inline constexpr std::uint32_t CM_RESETBAR = 46089;
inline constexpr std::uint32_t CM_ENTERMENULOOP = 46096;

}  // namespace tavelo
