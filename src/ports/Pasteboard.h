#pragma once

#include <optional>
#include <string>

namespace lexoria {

// The general clipboard, plain text only.
class Pasteboard {
  public:
    virtual ~Pasteboard() = default;
    // The clipboard's text; absent when it holds none.
    virtual std::optional<std::string> string() const = 0;
    virtual void setString(const std::string& text) = 0;
};

}  // namespace lexoria
