// The framework's own message numbers that the controls send and answer.
// To be folded into core/messages.h when that header lands; the numbers are fixed there too.
#pragma once

#include <cstdint>

namespace tavelo {

inline constexpr std::uint32_t FM_BASE = 0xB000;
inline constexpr std::uint32_t FM_PARENT_FONT_CHANGED = 0xB008;
inline constexpr std::uint32_t FM_PARENT_COLOR_CHANGED = 0xB009;
inline constexpr std::uint32_t FM_HIT_TEST = 0xB00A;
inline constexpr std::uint32_t FM_VISIBLE_CHANGED = 0xB00B;
inline constexpr std::uint32_t FM_ENABLED_CHANGED = 0xB00C;
inline constexpr std::uint32_t FM_COLOR_CHANGED = 0xB00D;
inline constexpr std::uint32_t FM_FONT_CHANGED = 0xB00E;
inline constexpr std::uint32_t FM_TEXT_CHANGED = 0xB012;
inline constexpr std::uint32_t FM_SHOWING_CHANGED = 0xB019;
inline constexpr std::uint32_t FM_CONTROL_LIST_CHANGE = 0xB02C;
inline constexpr std::uint32_t FM_RECREATE_WINDOW = 0xB033;
inline constexpr std::uint32_t FM_CONTROL_CHANGE = 0xB036;
inline constexpr std::uint32_t FM_BORDER_CHANGED = 0xB03B;

// A notification a parent receives about a child window reaches the child under this offset.
inline constexpr std::uint32_t FM_REFLECT = 0xBC00;

}  // namespace tavelo
