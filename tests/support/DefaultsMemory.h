#pragma once

#include <map>

#include "platform/Defaults.h"

namespace lexoria::test {

// Settings kept in memory; `writes` counts every store operation so tests can tell that
// nothing was written.
class DefaultsMemory final : public Defaults {
  public:
    std::optional<std::string> objectForKey(const std::string& key) override {
        const auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    void setObject(const std::string& value, const std::string& key) override {
        values[key] = value;
        ++writes;
    }
    void removeObject(const std::string& key) override {
        values.erase(key);
        ++writes;
    }

    std::map<std::string, std::string> values;
    int writes = 0;
};

}  // namespace lexoria::test
