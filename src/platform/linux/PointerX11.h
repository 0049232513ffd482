#pragma once

#include "ports/Screens.h"

typedef struct _XDisplay Display;

namespace lexoria {

// The pointer as the X server has it (XQueryPointer), in root-window pixels.
class PointerX11 final : public Pointer {
  public:
    explicit PointerX11(Display* display) : display_(display) {}
    std::optional<Point> location() const override;

  private:
    Display* display_;
};

}  // namespace lexoria
