#pragma once

#include <map>

#include "engine/PropertyList.h"
#include "ports/Defaults.h"

namespace lexoria::test {

// Settings kept in memory; `writes` counts every store operation so tests can tell that
// nothing was written.
class DefaultsMemory final : public Defaults {
  public:
    std::optional<std::string> objectForKey(const std::string& key) override {
        const auto it = values.find(keepableText(key));
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    // Keeps what the settings file can keep: NUL and ill-formed UTF-8 become U+FFFD.
    void setObject(const std::string& value, const std::string& key) override {
        values[keepableText(key)] = keepableText(value);
        ++writes;
    }
    void removeObject(const std::string& key) override {
        values.erase(keepableText(key));
        ++writes;
    }

    std::map<std::string, std::string> values;
    int writes = 0;
};

}  // namespace lexoria::test
