#pragma once

#include <optional>
#include <string>

namespace lexoria {

// The user's persistent settings: a dictionary from key text to value text. Every
// write is read back at once, and reaches persistent storage before the call returns or,
// where the store gathers the writes of one turn of the run loop, when that turn ends
// (and at the latest when the store is destroyed).
class Defaults {
  public:
    virtual ~Defaults() = default;

    virtual std::optional<std::string> objectForKey(const std::string& key) = 0;
    virtual void setObject(const std::string& value, const std::string& key) = 0;
    virtual void removeObject(const std::string& key) = 0;
};

}  // namespace lexoria
