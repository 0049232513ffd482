#pragma once

#include <map>
#include <optional>
#include <string>

#include "ports/Defaults.h"

namespace lexoria {

// Reads the settings of another store and keeps its own writes in memory, so a one-off
// run can use the desktop program's settings without changing them: the engine's "leftSim"
// and "promt_" writes would otherwise switch the desktop's source language or take its
// pending PROMT answer.
class DefaultsOverlay final : public Defaults {
  public:
    explicit DefaultsOverlay(Defaults& underlying) : underlying_(underlying) {}

    std::optional<std::string> objectForKey(const std::string& key) override {
        const auto changed = changes_.find(key);
        return changed != changes_.end() ? changed->second : underlying_.objectForKey(key);
    }
    void setObject(const std::string& value, const std::string& key) override {
        changes_[key] = value;
    }
    void removeObject(const std::string& key) override { changes_[key] = std::nullopt; }

  private:
    Defaults& underlying_;
    std::map<std::string, std::optional<std::string>> changes_;  // nullopt: removed
};

}  // namespace lexoria
