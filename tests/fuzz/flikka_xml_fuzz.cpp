// Any bytes as config/flikka.xml: the loader never crashes, every value it keeps is one the game
// can use, and the record survives being saved and read again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/ExtraSettings.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const flikka::ExtraSettings defaults;
    flikka::ExtraSettings s;
    if (!flikka::parseExtraSettings(bytes, s)) {
        FUZZ_REQUIRE(flikka::extraSettingsFileText(s) == flikka::extraSettingsFileText(defaults));
    }

    FUZZ_REQUIRE(s.rules == 0 || s.rules == 1);
    FUZZ_REQUIRE(s.scaling == 0 || s.scaling == 1);
    FUZZ_REQUIRE(s.effectsVolume >= 0 && s.effectsVolume <= 100 && s.crowdVolume >= 0 && s.crowdVolume <= 100);
    for (int b : {s.padPass, s.padShoot, s.padCross, s.padSwitch, s.padThru}) FUZZ_REQUIRE(b >= 0);
    FUZZ_REQUIRE(s.windowWidth >= 0 && s.windowHeight >= 0);
    for (int slot = 0; slot < flikka::ExtraSettings::kPlayer2KeySlots; ++slot) {
        const int code = s.player2Keys[slot];
        if (slot == 8 || slot >= 10) FUZZ_REQUIRE(code == defaults.player2Keys[slot]);
        else FUZZ_REQUIRE(code > 0 && code <= 255);
    }

    const std::string text = flikka::extraSettingsFileText(s);
    flikka::ExtraSettings back;
    FUZZ_REQUIRE(flikka::parseExtraSettings(text, back));
    FUZZ_REQUIRE(flikka::extraSettingsFileText(back) == text);
    return 0;
}
