#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "../support/TempDir.h"
#include "platform/linux/TrashFolderQt.h"

namespace lexoria {
namespace {

namespace fs = std::filesystem;

TEST(TrashFolderQt, MovesIntoTheUsersTrashEvenBeforeItsFolderExists) {
    test::TempDir dir;
    const fs::path data = dir.path() / "no data yet";
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string before = saved ? saved : "";
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    fs::create_directories(dir.path() / "Lexoria.app/bin");
    std::ofstream(dir.path() / "Lexoria.app/bin/lexoria") << "old";
    const fs::path here = fs::current_path();
    fs::current_path(dir.path());

    EXPECT_FALSE(TrashFolderQt().moveToTrash("Lexoria.app")) << "a relative path";
    EXPECT_TRUE(fs::exists(dir.path() / "Lexoria.app/bin/lexoria"));
    EXPECT_TRUE(TrashFolderQt().moveToTrash((dir.path() / "Lexoria.app").string()));
    fs::current_path(here);
    saved ? ::setenv("XDG_DATA_HOME", before.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");

    EXPECT_FALSE(fs::exists(dir.path() / "Lexoria.app"));
    EXPECT_TRUE(fs::exists(data / "Trash/files/Lexoria.app/bin/lexoria"));
    EXPECT_TRUE(fs::exists(data / "Trash/info/Lexoria.app.trashinfo"));
    EXPECT_FALSE(TrashFolderQt().moveToTrash((dir.path() / "Lexoria.app").string())) << "gone";
}

}  // namespace
}  // namespace lexoria
