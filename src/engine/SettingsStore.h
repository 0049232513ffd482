#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ports/Defaults.h"

namespace lexoria {

// The text conventions of the settings: every value is stored as its text form, a write
// without a value stores "(null)" (and the key then counts as present), and readers
// turn texts into flags and numbers themselves.
class SettingsStore {
  public:
    explicit SettingsStore(Defaults& defaults) : defaults_(defaults) {}

    void saveObjForSettings(const std::optional<std::string>& value, const std::string& key);
    void saveObjForSettings(int64_t number, const std::string& key);
    std::optional<std::string> objectFromSettings(const std::string& key);
    void removeObjForSettings(const std::string& key);

  private:
    Defaults& defaults_;
};

inline constexpr std::string_view kNullText = "(null)";

// A flag is true when the text, after leading blanks, one sign and zeros, begins with a
// digit 1 to 9 or with Y, y, T or t.
bool flagValue(const std::optional<std::string>& text);

// The leading decimal integer of the text (after blanks and one sign), 0 when there is
// none; values beyond 64 bits saturate.
int64_t numberValue(const std::optional<std::string>& text);

}  // namespace lexoria
