// The Linux adapters of the move, on fixture copies of /proc and /sys and on scripts that
// answer as pkexec does.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "TempDir.h"
#include "platform/linux/AuthorizationPkexec.h"
#include "platform/linux/HostPathsLinux.h"
#include "platform/linux/MountTableProc.h"
#include "platform/linux/ProcessesPosix.h"

namespace lexoria {
namespace {

namespace fs = std::filesystem;

using test::readFile;
using test::writeFile;

constexpr const char* kRoot = "22 1 8:1 / / rw shared:1 - ext4 /dev/sda1 rw\n";

TEST(MountTableProc, FindsTheImageBehindTheVolumeHoldingAPath) {
    struct Row {
        const char* name;
        std::string mounts;
        const char* path;
        std::optional<std::string> device;  // absent: not on a disk image
    };
    const Row rows[] = {
        {"partition of a loop device",
         std::string(kRoot) +
             "95 22 259:1 / /media/u/Lexoria ro shared:5 - iso9660 /dev/loop3p1 ro\n",
         "/media/u/Lexoria/Lexoria.app", "/dev/loop3p1"},
        {"whole loop device, blank in the mount point",
         std::string(kRoot) + "95 22 7:3 / /media/u/Lexoria\\0403 ro - squashfs /dev/loop3 ro\n",
         "/media/u/Lexoria 3", "/dev/loop3"},
        {"a deeper mount of a disk holds the path",
         std::string(kRoot) + "95 22 7:3 / /media ro - ext4 /dev/loop3 ro\n" +
             "96 95 8:17 / /media/u/disk rw - ext4 /dev/sdb1 rw\n",
         "/media/u/disk/apps", std::nullopt},
        {"the later of two mounts on one point covers the other",
         std::string(kRoot) + "95 22 7:3 / /mnt ro - ext4 /dev/loop3 ro\n" +
             "96 22 0:50 / /mnt rw - tmpfs tmpfs rw\n",
         "/mnt/x", std::nullopt},
        {"a name that merely begins like the mount point",
         std::string(kRoot) + "95 22 7:3 / /media/u/Lex ro - ext4 /dev/loop3 ro\n",
         "/media/u/Lexoria", std::nullopt},
        {"a live system's root on a loop device", "22 1 7:0 / / ro - squashfs /dev/loop3 ro\n",
         "/opt", std::nullopt},
        {"a loop device with no file behind it",
         std::string(kRoot) + "95 22 7:4 / /mnt ro - ext4 /dev/loop4 ro\n", "/mnt", std::nullopt},
        {"no mount table", "", "/mnt", std::nullopt},
    };
    for (const Row& row : rows) {
        test::TempDir dir;
        writeFile(dir.path() / "mountinfo", row.mounts);
        writeFile(dir.path() / "sys/block/loop3/loop/backing_file", "/home/u/Lexoria.iso\n");
        writeFile(dir.path() / "sys/block/loop4/loop/backing_file", "");
        const MountTableProc table((dir.path() / "mountinfo").string(),
                                   (dir.path() / "sys").string());
        const std::optional<DiskImage> image = table.diskImageHolding(row.path);
        ASSERT_EQ(image.has_value(), row.device.has_value()) << row.name;
        if (image) {
            EXPECT_EQ(image->device, *row.device) << row.name;
            EXPECT_EQ(image->loopDevice, "/dev/loop3") << row.name;
            EXPECT_EQ(image->imageFile, "/home/u/Lexoria.iso") << row.name;
        }
    }
}

TEST(ProcessesPosix, ListsTheProgramsOfRunningProcesses) {
    test::TempDir dir;
    const fs::path proc = dir.path();
    fs::create_directories(proc / "1");
    fs::create_symlink("/usr/bin/bash", proc / "1/exe");
    fs::create_directories(proc / "22");
    fs::create_symlink("/home/u/Applications/Lexoria.app/bin/lexoria (deleted)", proc / "22/exe");
    fs::create_directories(proc / "self");
    fs::create_symlink("/usr/bin/self", proc / "self/exe");
    fs::create_directories(proc / "33");  // a kernel thread
    std::vector<std::string> found = ProcessesPosix(proc.string()).runningExecutables();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"/home/u/Applications/Lexoria.app/bin/lexoria",
                                               "/usr/bin/bash"}));

    const std::vector<std::string> real = ProcessesPosix().runningExecutables();
    EXPECT_NE(std::find(real.begin(), real.end(), fs::read_symlink("/proc/self/exe").string()),
              real.end());
}

TEST(ProcessesPosix, LaunchesWithoutWaiting) {
    test::TempDir dir;
    const fs::path done = dir.path() / "it's done";
    ProcessesPosix processes;
    ASSERT_TRUE(processes.launch("/bin/sh", {"-c", "echo \"$1\" > \"$1\"", "sh", done.string()}));
    for (int i = 0; i < 200 && readFile(done).empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(readFile(done), done.string() + "\n");
    EXPECT_FALSE(processes.launch((dir.path() / "missing").string(), {}));
}

TEST(AuthorizationPkexec, ReadsPkexecsAnswers) {
    struct Row {
        const char* name;
        const char* pkexec;  // the stand-in's body; absent: no pkexec installed
        bool canceled;
        std::optional<int> exitStatus;
    };
    const Row rows[] = {
        // A dismissed prompt (126) is a case of the move's own table.
        {"not authorized", "exit 127", false, std::nullopt},
        {"the program's status", "exec \"$@\"", false, 3},
        {"killed", "kill -9 $$", false, std::nullopt},
        {"no pkexec", nullptr, false, std::nullopt},
    };
    for (const Row& row : rows) {
        test::TempDir dir;
        const fs::path pkexec = dir.path() / "pkexec";
        if (row.pkexec) {
            writeFile(pkexec, std::string("#!/bin/sh\n") + row.pkexec + "\n");
            fs::permissions(pkexec, fs::perms::owner_all);
        }
        const fs::path seen = dir.path() / "seen";
        const PrivilegedRun run =
            AuthorizationPkexec(pkexec.string())
                .executeWithPrivileges("/bin/sh", {"-c", "echo \"$1\" > \"$2\"; exit 3", "sh",
                                                   "a b'c", seen.string()});
        EXPECT_EQ(run.canceled, row.canceled) << row.name;
        EXPECT_EQ(run.exitStatus, row.exitStatus) << row.name;
        if (run.exitStatus) {
            EXPECT_EQ(readFile(seen), "a b'c\n") << row.name;
        }
    }
}

TEST(HostPathsLinux, TheBundleIsTheAppFolderOrTheAppImage) {
    struct Row {
        const char* name;
        HostPathsLinux::Facts facts;
        std::optional<std::string> bundle;
        std::string executable;
    };
    const Row rows[] = {
        {"an app folder",
         {"/home/u", "", "", "/tmp/x/Lexoria.app/bin/lexoria"},
         "/tmp/x/Lexoria.app",
         "bin/lexoria"},
        {"a package's program", {"/home/u", "", "", "/usr/bin/lexoria"}, std::nullopt, ""},
        {"an AppImage",
         {"/home/u", "/home/u/Lexoria.AppImage", "/tmp/.mount_ab",
          "/tmp/.mount_ab/usr/bin/lexoria"},
         "/home/u/Lexoria.AppImage",
         ""},
        {"another AppImage's variables, inherited",
         {"/home/u", "/home/u/Other.AppImage", "/tmp/.mount_cd", "/tmp/x/Lexoria.app/bin/lexoria"},
         "/tmp/x/Lexoria.app",
         "bin/lexoria"},
    };
    for (const Row& row : rows) {
        const HostPathsLinux paths(row.facts);
        EXPECT_EQ(paths.bundlePath(), row.bundle) << row.name;
        EXPECT_EQ(paths.bundleExecutable(), row.executable) << row.name;
    }
}

TEST(HostPathsLinux, DownloadsIsTheFolderTheDesktopNames) {
    test::TempDir dir;
    const std::string home = dir.path().string();
    const HostPathsLinux paths({home, "", "", "", home + "/.config"});
    EXPECT_EQ(paths.downloadsFolders(), std::vector<std::string>{home + "/Downloads"});
    writeFile(dir.path() / ".config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n"
              "XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n");
    EXPECT_EQ(paths.downloadsFolders(), std::vector<std::string>{home + "/Téléchargements"});
}

}  // namespace
}  // namespace lexoria
