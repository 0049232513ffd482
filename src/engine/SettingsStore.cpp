#include "SettingsStore.h"

#include <limits>

namespace lexoria {

void SettingsStore::saveObjForSettings(const std::optional<std::string>& value,
                                       const std::string& key) {
    defaults_.setObject(value ? *value : std::string(kNullText), key);
}

void SettingsStore::saveObjForSettings(int64_t number, const std::string& key) {
    defaults_.setObject(std::to_string(number), key);
}

std::optional<std::string> SettingsStore::objectFromSettings(const std::string& key) {
    return defaults_.objectForKey(key);
}

void SettingsStore::removeObjForSettings(const std::string& key) {
    defaults_.removeObject(key);
}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

bool flagValue(const std::optional<std::string>& text) {
    if (!text) {
        return false;
    }
    std::size_t i = 0;
    const std::string& s = *text;
    while (i < s.size() && isBlank(s[i])) {
        ++i;
    }
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    while (i < s.size() && s[i] == '0') {
        ++i;
    }
    if (i == s.size()) {
        return false;
    }
    const char c = s[i];
    return (c >= '1' && c <= '9') || c == 'Y' || c == 'y' || c == 'T' || c == 't';
}

int64_t numberValue(const std::optional<std::string>& text) {
    if (!text) {
        return 0;
    }
    const std::string& s = *text;
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    constexpr uint64_t kLimit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    uint64_t value = 0;
    bool saturated = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        const auto digit = static_cast<uint64_t>(s[i] - '0');
        if (value > (kLimit - digit) / 10) {
            saturated = true;
            break;
        }
        value = value * 10 + digit;
    }
    if (saturated) {
        return negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    }
    return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
}

}  // namespace lexoria
