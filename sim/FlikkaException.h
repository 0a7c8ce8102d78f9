#pragma once
#include <stdexcept>
#include <string>

namespace flikka {

// The program's own failures; each carries one fixed message text.
class CFlikkaException : public std::runtime_error {
public:
    explicit CFlikkaException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace flikka
