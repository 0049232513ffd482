#pragma once

#include "ports/TrashFolder.h"

namespace lexoria {

// The freedesktop Trash in the user's data folder, through Qt.
class TrashFolderQt final : public TrashFolder {
  public:
    bool moveToTrash(const std::string& path) override;
};

}  // namespace lexoria
