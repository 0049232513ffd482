#pragma once

#include <memory>
#include <optional>
#include <string>

#include "EngineContext.h"
#include "SettingsStore.h"

namespace lexoria {

// One asynchronous translation by PROMT. When the answer has arrived, its text waits in
// the setting "promt_" for whoever collects it; the client itself tells nobody.
class Promt : public std::enable_shared_from_this<Promt> {
  public:
    // The running connection holds the client; make one with std::make_shared.
    // The context is copied: the client outlives the translation call that made it.
    explicit Promt(const EngineContext& context)
        : context_(context), settings_(context_.defaults) {}

    // Sends the request and returns at once.
    void stringForTranslate(const std::string& text, const std::string& leftLang,
                            const std::string& rightLang);

    void connectionDidReceiveResponse();
    void connectionDidReceiveData(const std::string& bytes);
    void connectionDidFinishLoading();
    void connectionDidFailWithError(const std::string& error);

    void saveObjForSettings(const std::optional<std::string>& value, const std::string& key) {
        settings_.saveObjForSettings(value, key);
    }

    const std::string& responseData() const { return responseData_; }
    const std::optional<std::string>& osnova() const { return osnova_; }

  private:
    EngineContext context_;
    SettingsStore settings_;
    std::string responseData_;
    std::optional<std::string> osnova_;
};

// The request body: a script object literal with the text as a single-quoted value.
std::string promtRequestBody(const std::string& text, const std::string& leftLang,
                             const std::string& rightLang);

// The text to store for an answer body, or nothing when the answer is no JSON object.
std::optional<std::string> promtTranslationOfAnswer(const std::string& body);

}  // namespace lexoria
