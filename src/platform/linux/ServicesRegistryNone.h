#pragma once

#include "ports/Services.h"

namespace lexoria {

// No Services entry: registrations are accepted and no request ever comes. The D-Bus
// hand-off takes its place.
class ServicesRegistryNone final : public ServicesRegistry {
  public:
    void registerServicesProvider(const std::string& /*portName*/, Handler /*handler*/) override {}
    void setServicesProvider(Handler /*handler*/) override {}
};

}  // namespace lexoria
