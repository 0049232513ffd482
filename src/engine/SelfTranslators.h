#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "EngineContext.h"
#include "SettingsStore.h"

namespace lexoria {

// The result that means no text was produced at all.
inline constexpr const char* kNoText = "?¿";

// The front door of the translation engine: one text, one service, one language pair in,
// display text out. Make one per translation.
class SelfTranslators {
  public:
    explicit SelfTranslators(EngineContext& context)
        : context_(context), settings_(context.defaults) {}

    std::string setService(const std::string& service, const std::string& stringForTranslate,
                           const std::optional<std::string>& leftLang,
                           const std::optional<std::string>& rightLang,
                           const std::optional<std::vector<std::string>>& arForRemove,
                           int32_t keyMicrosoft);

    // Online detection of the text's language: Yandex first, then Microsoft. The empty
    // text when neither names one.
    std::string languageForString(const std::string& text);

    // Marker-span removal on the working text; callers pass the working text as `text`.
    std::string setStrForParsing(const std::string& text, const std::string& first,
                                 const std::string& second) const;

    // Extraction from the raw answer in the working text; each leaves its result there.
    std::string googlHtmlStr();
    std::string microsoftStr();
    // The translation of a Babylon answer, or nothing when it holds none.
    std::optional<std::string> babylonHtmlStr();
    std::string yandexStr();
    std::string yandexDic();
    // The language code in a Yandex detection answer, or the empty text.
    std::string yandexDetectStr();

    void saveObjForSettings(const std::optional<std::string>& value, const std::string& key) {
        settings_.saveObjForSettings(value, key);
    }
    std::optional<std::string> objectFromSettings(const std::string& key) {
        return settings_.objectFromSettings(key);
    }

    const std::optional<std::string>& osnova() const { return osnova_; }
    void setOsnova(std::optional<std::string> text) { osnova_ = std::move(text); }

  private:
    std::string googleBranch(std::string text, const std::string& leftLang,
                             const std::string& rightLang,
                             const std::vector<std::string>& arForRemove);
    std::string microsoftBranch(const std::string& text, const std::string& leftLang,
                                const std::string& rightLang, int32_t keyMicrosoft);
    std::optional<std::string> babylonBranch(const std::string& text, std::string leftLang,
                                             std::string rightLang);
    void promtBranch(const std::string& text, const std::string& leftLang,
                     const std::string& rightLang);
    std::optional<std::string> yandexBranch(const std::string& text, const std::string& leftLang,
                                            std::string rightLang,
                                            const std::vector<std::string>& arForRemove);
    std::optional<std::string> offlineBranch(const std::string& text, const std::string& leftLang,
                                             const std::string& rightLang);
    // Fetches through a new XMLRequest into the working text.
    void fetchIntoOsnova(const std::string& url);
    std::string https(const std::string& host) const { return "https://" + host; }
    std::string http(const std::string& host) const { return "http://" + host; }

    EngineContext& context_;
    SettingsStore settings_;
    std::optional<std::string> osnova_;
};

}  // namespace lexoria
