#pragma once

#include "ports/Screens.h"

// Xlib's own name for its display, declared here to keep its macros out.
typedef struct _XDisplay Display;  // NOLINT(bugprone-reserved-identifier)

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
