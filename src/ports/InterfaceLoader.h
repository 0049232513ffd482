#pragma once

#include "ports/Interface.h"

namespace lexoria {

// Makes the controls of the interface description and hands them over, wired to nothing
// yet: the controller connects their actions.
class InterfaceLoader {
  public:
    virtual ~InterfaceLoader() = default;
    virtual Interface loadInterface() = 0;
};

}  // namespace lexoria
