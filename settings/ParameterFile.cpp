#include "settings/ParameterFile.h"

#include <tinyxml2.h>

#include <charconv>
#include <cstring>
#include <system_error>

namespace flikka::parameter_file {

// tinyxml2 parses nested elements recursively; its depth limit is what keeps a hostile file
// from exhausting the stack, so refuse a library without one.
static_assert(TINYXML2_MAX_ELEMENT_DEPTH <= 1000, "tinyxml2 must bound the element depth");

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

bool forEachParameter(const std::string& bytes, const std::function<bool(const char*, const char*)>& visit) {
    tinyxml2::XMLDocument doc;
    if (doc.Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS) return false;
    const tinyxml2::XMLElement* root = doc.RootElement();
    if (root == nullptr || std::strcmp(root->Name(), "config") != 0) return false;
    for (const tinyxml2::XMLElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        if (std::strcmp(e->Name(), "parameter") != 0) continue;
        // tinyxml2 already refuses a repeated attribute; should it accept one, the last counts.
        const char* name = nullptr;
        const char* value = nullptr;
        for (const tinyxml2::XMLAttribute* a = e->FirstAttribute(); a != nullptr; a = a->Next()) {
            if (std::strcmp(a->Name(), "name") == 0) name = a->Value();
            if (std::strcmp(a->Name(), "value") == 0) value = a->Value();
        }
        if (name == nullptr || value == nullptr) continue;
        if (!visit(name, value)) return false;
    }
    return true;
}

void appendParameter(std::string& out, const char* name, const std::string& value) {
    out += "\t<parameter name=\"";
    out += name;
    out += "\" value=\"";
    out += value;
    out += "\"/>\n";
}

}  // namespace flikka::parameter_file
