#pragma once

#include <string>

namespace lexoria {

class Workspace {
  public:
    virtual ~Workspace() = default;
    // Opens an address in the user's browser or mail program.
    virtual void openURL(const std::string& url) = 0;
};

}  // namespace lexoria
