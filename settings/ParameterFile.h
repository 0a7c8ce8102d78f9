#pragma once
// The XML style both settings files share: <config> holding <parameter name=".." value=".."/>.
#include <cstdint>
#include <functional>
#include <string>

namespace flikka::parameter_file {

// A real settings file is well under a kilobyte; anything this large is not one of ours.
inline constexpr std::uintmax_t kMaxFileBytes = 16u * 1024u * 1024u;

// A whole decimal integer, optionally signed and surrounded by whitespace; "12abc", "" and
// values beyond 32 bits are not integers.
bool parseInt(const char* text, int& out);

// Parses bytes as a settings document and calls visit(name, value) for each parameter in order;
// visit returns false to discard the file. False when the bytes are not such a document.
bool forEachParameter(const std::string& bytes, const std::function<bool(const char*, const char*)>& visit);

void appendParameter(std::string& out, const char* name, const std::string& value);
inline const char* boolText(bool b) { return b ? "true" : "false"; }

inline constexpr const char* kHeader = "<?xml version=\"1.0\"?>\n\n<config>\n";
inline constexpr const char* kFooter = "</config>";

}  // namespace flikka::parameter_file
