#pragma once
// The named ARGB colours the screens use, written once.
#include "platform/Platform.h"

namespace flikka::colours {

constexpr platform::Color kWhite = 0xFFFFFFFF;
constexpr platform::Color kOpaqueBlack = 0xFF000000;
constexpr platform::Color kRed = 0xFFFF0000;
constexpr platform::Color kBlue = 0xFF0000FF;
constexpr platform::Color kGold = 0xFFFFD700;
constexpr platform::Color kYellow = 0xFFFFFF00;
constexpr platform::Color kYellowGreen = 0xFF9ACD32;
constexpr platform::Color kGreen = 0xFF00FF00;
constexpr platform::Color kGrey = 0xFF808080;
constexpr platform::Color kDarkGrey = 0xFF505050;
constexpr platform::Color kLightGrey = 0xFFD3D3D3;
// Player 2's marker, radar dot and labels (player 1 keeps gold).
constexpr platform::Color kCyan = 0xFF00E5FF;

}  // namespace flikka::colours
