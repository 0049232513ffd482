#pragma once

#include <iostream>

#include "ports/Log.h"

namespace lexoria {

class LogStderr final : public Log {
  public:
    void line(const std::string& text) override { std::cerr << text << std::endl; }
};

}  // namespace lexoria
