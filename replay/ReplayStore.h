#pragma once
// The replays folder: the last match as last.flr, a dated copy of every match, the newest
// kKeep dated copies kept.
#include <string>

#include "replay/ReplayFile.h"

namespace flikka::replay {

inline constexpr int kKeep = 50;
inline constexpr const char* kLastName = "last.flr";

// Writes last.flr and <dated>.flr (or <dated>_2.flr ... when that name is taken) into folder,
// then removes the oldest dated copies beyond kKeep. False with the reason when a write failed;
// a file that was there before stays as it was.
bool save(const Replay& r, const std::string& folder, const std::string& dated, std::string& problem);

// "YYYY-MM-DD_HH-MM-SS" of a local time, as the dated copies are named (sorting by name sorts by age).
std::string datedName(int year, int month, int day, int hour, int minute, int second);

}  // namespace flikka::replay
