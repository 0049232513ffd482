#pragma once

#include "ports/EventMonitors.h"

namespace lexoria {

// No synthetic keys: the copy keystroke to another program needs XTest, which arrives
// with the global gestures. Until then a capture finds the clipboard unchanged.
class SyntheticKeysNone final : public SyntheticKeys {
  public:
    void postCopy() override {}
};

}  // namespace lexoria
