#pragma once

#include <string>

namespace lexoria {

// The user's Trash, from where a moved item can be restored.
class TrashFolder {
  public:
    virtual ~TrashFolder() = default;
    virtual bool moveToTrash(const std::string& path) = 0;
};

}  // namespace lexoria
