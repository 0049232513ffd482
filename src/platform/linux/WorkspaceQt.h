#pragma once

#include "ports/Workspace.h"

namespace lexoria {

// The user's browser and mail program, through the desktop's URL handlers.
class WorkspaceQt final : public Workspace {
  public:
    void openURL(const std::string& url) override;
};

}  // namespace lexoria
