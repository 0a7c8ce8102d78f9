// Any bytes as config/win32.xml: the loader never crashes, anything it keeps is a record the
// game can open a window with, and that record survives being saved and read again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/Settings.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool sameRecord(const flikka::Settings& a, const flikka::Settings& b) {
    return flikka::settingsFileText(a) == flikka::settingsFileText(b) &&
           std::equal(std::begin(a.keys), std::end(a.keys), std::begin(b.keys));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const flikka::Settings defaults;
    flikka::Settings s;
    if (!flikka::parseSettings(bytes, s)) FUZZ_REQUIRE(sameRecord(s, defaults));

    FUZZ_REQUIRE(s.colorDepth == 16 || s.colorDepth == 24 || s.colorDepth == 32);
    FUZZ_REQUIRE(s.hRes > 0 && s.hRes <= 16384 && s.vRes > 0 && s.vRes <= 16384);
    // Slot 8 and the fixed keys are never read from the file.
    FUZZ_REQUIRE(s.keys[8] == defaults.keys[8]);
    for (int slot = 10; slot < flikka::Settings::kKeySlots; ++slot) FUZZ_REQUIRE(s.keys[slot] == defaults.keys[slot]);

    flikka::Settings back;
    FUZZ_REQUIRE(flikka::parseSettings(flikka::settingsFileText(s), back));
    FUZZ_REQUIRE(sameRecord(back, s));
    return 0;
}
