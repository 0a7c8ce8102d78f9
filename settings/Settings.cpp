#include "settings/Settings.h"

#include <tinyxml2.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define FLIKKA_HAVE_FSYNC 1
#endif

#include "sim/FlikkaException.h"

namespace flikka {

namespace fs = std::filesystem;

// tinyxml2 parses nested elements recursively; its depth limit is what keeps a hostile file
// from exhausting the stack, so refuse a library without one.
static_assert(TINYXML2_MAX_ELEMENT_DEPTH <= 1000, "tinyxml2 must bound the element depth");

namespace {

constexpr const char* kWriteError = "Cannot open configuration file for writing";
// A real settings file is well under a kilobyte; anything this large is not one of ours.
constexpr std::uintmax_t kMaxFileBytes = 16u * 1024u * 1024u;
// No window or screen is larger than this in either direction.
constexpr int kMaxResolution = 16384;

// What the last load found, so that the save at exit can keep an unreadable file.
struct LoadStatus {
    bool unreadable = false;
    std::string path;
    bool backupMade = false;
};
LoadStatus g_loadStatus;

// A whole decimal integer, optionally signed and surrounded by whitespace; "12abc", "" and
// values beyond 32 bits are not integers.
bool parseInt(const char* text, int& out) {
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    const char* first = text;
    const char* last = text + std::strlen(text);
    while (first < last && isSpace(*first)) ++first;
    while (last > first && isSpace(last[-1])) --last;
    if (first < last && *first == '+') {
        ++first;
        if (first < last && (*first == '-' || *first == '+')) return false;
    }
    if (first == last) return false;
    int value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last) return false;
    out = value;
    return true;
}

bool validResolution(int v) { return v > 0 && v <= kMaxResolution; }

// Reads the parameters into s; false when the file must be discarded as a whole.
bool readParameters(const tinyxml2::XMLElement& root, Settings& s) {
    struct KeyName {
        const char* name;
        int slot;
    };
    static constexpr KeyName kKeys[] = {
        {"key_shoot", 4}, {"key_pass", 5}, {"key_thru", 7},  {"key_switch", 9}, {"key_cross", 6},
        {"key_left", 0},  {"key_right", 1}, {"key_up", 2},   {"key_down", 3},
    };

    for (const tinyxml2::XMLElement* e = root.FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        if (std::strcmp(e->Name(), "parameter") != 0) continue;
        // tinyxml2 already refuses a repeated attribute; should it accept one, the last counts.
        const char* name = nullptr;
        const char* value = nullptr;
        for (const tinyxml2::XMLAttribute* a = e->FirstAttribute(); a != nullptr; a = a->Next()) {
            if (std::strcmp(a->Name(), "name") == 0) name = a->Value();
            if (std::strcmp(a->Name(), "value") == 0) value = a->Value();
        }
        if (name == nullptr || value == nullptr) continue;
        const std::string n = name;
        const std::string v = value;

        if (n == "v_res" && !(parseInt(value, s.vRes) && validResolution(s.vRes))) return false;
        if (n == "h_res" && !(parseInt(value, s.hRes) && validResolution(s.hRes))) return false;
        if (n == "color_depth" && !parseInt(value, s.colorDepth)) return false;
        if (n == "fullscreen") {
            if (v == "true") s.fullscreen = true;
            else if (v == "false") s.fullscreen = false;
            else return false;
        }
        if (n == "radar") s.radar = v == "true";
        if (n == "debug_info") s.debugInfo = v == "true";
        for (const KeyName& k : kKeys) {
            int code = 0;
            if (n == k.name && parseInt(value, code)) s.keys[k.slot] = code;
        }
    }
    if (s.colorDepth != 16 && s.colorDepth != 24 && s.colorDepth != 32) s.colorDepth = 16;
    return true;
}

enum class FileRead { Missing, Unreadable, Ok };

// The file's bytes, refusing anything that is not a plain file of sane size (a FIFO would block).
FileRead readFile(const std::string& path, std::string& bytes) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) return FileRead::Missing;
    if (!fs::is_regular_file(st)) return FileRead::Missing;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size > kMaxFileBytes) return FileRead::Unreadable;
    std::ifstream in(path, std::ios::binary);
    if (!in) return FileRead::Unreadable;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return FileRead::Unreadable;
    return FileRead::Ok;
}

void appendParameter(std::string& out, const char* name, const std::string& value) {
    out += "\t<parameter name=\"";
    out += name;
    out += "\" value=\"";
    out += value;
    out += "\"/>\n";
}

const char* boolText(bool b) { return b ? "true" : "false"; }

// Writes text to path through a temporary file beside it; false on any failure, leaving path untouched.
bool replaceFile(const std::string& path, const std::string& text) {
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fflush(f) == 0 && ok;
#ifdef FLIKKA_HAVE_FSYNC
    // The new contents must be on disk before the rename makes them the settings file.
    ok = ::fsync(::fileno(f)) == 0 && ok;
#endif
    ok = std::fclose(f) == 0 && ok;
    std::error_code ec;
    if (ok) {
        fs::rename(tmp, path, ec);
        ok = !ec;
    }
    if (!ok) fs::remove(tmp, ec);
    return ok;
}

}  // namespace

void Settings::resetToDefaults() { *this = Settings{}; }

Settings& settings() {
    static Settings record;
    return record;
}

bool settingsFileWasUnreadable() { return g_loadStatus.unreadable; }

bool loadSettings(const std::string& path) {
    g_loadStatus = LoadStatus{};
    Settings& s = settings();

    std::string bytes;
    const FileRead read = readFile(path, bytes);
    bool ok = false;
    if (read == FileRead::Ok) {
        tinyxml2::XMLDocument doc;
        if (doc.Parse(bytes.data(), bytes.size()) == tinyxml2::XML_SUCCESS) {
            const tinyxml2::XMLElement* root = doc.RootElement();
            ok = root != nullptr && std::strcmp(root->Name(), "config") == 0 && readParameters(*root, s);
        }
    }
    if (!ok) {
        s.resetToDefaults();
        if (read != FileRead::Missing) {
            g_loadStatus.unreadable = true;
            g_loadStatus.path = path;
        }
    }
    return ok;
}

void saveSettings(const std::string& path) {
    const std::string text = settingsFileText(settings());

    // The file we could not read is about to be replaced by the defaults: keep the user's copy.
    if (g_loadStatus.unreadable && !g_loadStatus.backupMade && g_loadStatus.path == path) {
        std::error_code ec;
        if (fs::is_regular_file(path, ec)) {
            fs::copy_file(path, path + ".bak", fs::copy_options::overwrite_existing, ec);
            if (ec) throw CFlikkaException(kWriteError);
        }
        g_loadStatus.backupMade = true;
    }

    if (!replaceFile(path, text)) throw CFlikkaException(kWriteError);
}

std::string settingsFileText(const Settings& s) {
    std::string out = "<?xml version=\"1.0\"?>\n\n<config>\n";
    appendParameter(out, "h_res", std::to_string(s.hRes));
    appendParameter(out, "v_res", std::to_string(s.vRes));
    appendParameter(out, "fullscreen", boolText(s.fullscreen));
    appendParameter(out, "radar", boolText(s.radar));
    appendParameter(out, "debug_info", boolText(s.debugInfo));
    appendParameter(out, "color_depth", std::to_string(s.colorDepth));
    out += "\n";
    static constexpr std::pair<const char*, int> kWritten[] = {
        {"key_shoot", 4}, {"key_pass", 5}, {"key_thru", 7},  {"key_switch", 9}, {"key_cross", 6},
        {"key_left", 0},  {"key_right", 1}, {"key_up", 2},   {"key_down", 3},
    };
    for (const auto& [name, slot] : kWritten) appendParameter(out, name, std::to_string(s.keys[slot]));
    out += "</config>";
    return out;
}

}  // namespace flikka
