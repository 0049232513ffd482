#pragma once

#include <string>

namespace lexoria {

// The program's log: plain lines for whoever watches the program run.
class Log {
  public:
    virtual ~Log() = default;
    virtual void line(const std::string& text) = 0;
};

}  // namespace lexoria
