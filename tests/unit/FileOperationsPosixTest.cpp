#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "TempDir.h"
#include "platform/linux/FileOperationsPosix.h"

namespace lexoria {
namespace {

TEST(FileOperationsPosix, WritesChecksAndRemovesRealFiles) {
    test::TempDir dir;
    FileOperationsPosix files;
    const std::string folder = (dir.path() / "a" / "b").string();
    const std::string file = folder + "/testsandbox.txt";
    EXPECT_FALSE(files.writeFile(file, "!")) << "no folder yet";
    EXPECT_TRUE(files.createDirectories(folder));
    EXPECT_TRUE(files.writeFile(file, "!"));
    EXPECT_TRUE(files.fileExists(file));
    EXPECT_TRUE(files.removeFile(file));
    EXPECT_FALSE(files.fileExists(file));
    EXPECT_FALSE(files.removeFile(file));
}

TEST(FileOperationsPosix, TheHomeComesFromThePasswordDatabaseNotTheEnvironment) {
    const std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/somewhere/snap/lexoria/12", 1);
    const std::string home = FileOperationsPosix().homeDirectory();
    ::setenv("HOME", saved.c_str(), 1);
    EXPECT_EQ(home, ::getpwuid(::getuid())->pw_dir);
}

}  // namespace
}  // namespace lexoria
