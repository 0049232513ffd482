#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <utility>

#include "PipelinePosix.h"
#include "ports/OfflineTranslator.h"

namespace lexoria {

// Apertium's installed language pairs, each run as one persistent pipeline of its stages
// in null-flush mode: started on first use, restarted once when it died or hung.
class OfflineTranslatorApertium : public OfflineTranslator {
  public:
    static constexpr const char* kModesFolder = "/usr/share/apertium/modes";

    // Reads the pairs from the mode files in `modesFolder` once, now.
    explicit OfflineTranslatorApertium(
        const std::filesystem::path& modesFolder = kModesFolder,
        std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

    std::vector<LanguagePair> pairs() const override;
    std::optional<std::string> translate(const std::string& text, const std::string& from,
                                         const std::string& to) override;

  private:
    std::chrono::milliseconds timeout_;
    std::map<std::pair<std::string, std::string>, std::unique_ptr<PipelinePosix>> pipelines_;
};

}  // namespace lexoria
