#pragma once

#include "ports/Pasteboard.h"

namespace lexoria {

// The desktop clipboard (the CLIPBOARD selection on X11, not the primary selection).
class PasteboardQt final : public Pasteboard {
  public:
    std::optional<std::string> string() const override;
    void setString(const std::string& text) override;
};

}  // namespace lexoria
