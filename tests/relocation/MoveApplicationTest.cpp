// The move into an Applications folder on real folders: HOME, /opt, the mount table and
// sysfs are folders of a fresh temporary tree; pkexec is a script that answers as the
// real one does.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

#include "DefaultsMemory.h"
#include "FakeDesktop.h"
#include "LocaleFixed.h"
#include "RunLoopVirtual.h"
#include "TempDir.h"
#include "platform/linux/AuthorizationPkexec.h"
#include "platform/linux/BundleDirectory.h"
#include "platform/linux/FileSystemPosix.h"
#include "platform/linux/HostPathsLinux.h"
#include "platform/linux/MountTableProc.h"
#include "relocation/PFMoveApplication.h"

namespace lexoria {
namespace {

namespace fs = std::filesystem;

// Files written here may be run.
void write(const fs::path& file, const std::string& text) {
    test::writeFile(file, text);
    fs::permissions(file, fs::perms::owner_all);
}
using test::readFile;

// Some folders are not ours to write, as for anyone but the administrator (the tests
// may run as root, who may write anywhere).
class FileSystemWithReadOnlyFolders final : public FileSystemPosix {
  public:
    bool isWritable(const std::string& path) const override {
        return !readOnly.count(path) && FileSystemPosix::isWritable(path);
    }
    std::set<std::string> readOnly;
};

// Starts and ends nothing: records what would have been started, and the exit.
class ProcessesRecorded final : public Processes {
  public:
    int processIdentifier() const override { return pid; }
    std::vector<std::string> runningExecutables() const override { return running; }
    bool launch(const std::string& program, const std::vector<std::string>& arguments) override {
        launched.push_back(program);
        for (const std::string& argument : arguments) {
            launched.back() += " | " + argument;
        }
        return true;
    }
    void exit(int status) override { exitStatus = status; }

    int pid = 4242;
    std::vector<std::string> running = {"/usr/bin/bash"};
    std::vector<std::string> launched;
    std::optional<int> exitStatus;
};

// The freedesktop Trash's files folder, as the Qt adapter fills it.
class TrashFolderFiles final : public TrashFolder {
  public:
    explicit TrashFolderFiles(fs::path folder) : folder_(std::move(folder)) {}
    bool moveToTrash(const std::string& path) override {
        std::error_code error;
        fs::create_directories(folder_, error);
        fs::rename(path, folder_ / fs::path(path).filename(), error);
        return !error;
    }

  private:
    fs::path folder_;
};

struct World {
    test::TempDir temp;
    fs::path root = fs::canonical(temp.path());
    fs::path home = root / "home";
    fs::path opt = root / "opt";

    test::DefaultsMemory defaults;
    BundleDirectory bundle{{LEXORIA_RESOURCES}};
    test::LocaleFixed locale;
    std::unique_ptr<HostPathsLinux> paths;
    FileSystemWithReadOnlyFolders files;
    MountTableProc mounts{(root / "mountinfo").string(), (root / "sys").string()};
    ProcessesRecorded processes;
    AuthorizationPkexec authorization{(root / "pkexec").string()};
    TrashFolderFiles trash{root / "Trash/files"};
    test::RunLoopVirtual loop;
    test::FakeAlerts alerts{loop};
    test::FakeApplication application;
    test::LogLines log;

    World() {
        fs::create_directories(opt);
        // Below media/disk is a partition of a loop device; the rest is the root volume.
        write(root / "mountinfo", "22 1 8:1 / / rw shared:1 - ext4 /dev/sda1 rw\n95 22 259:7 / " +
                                      (root / "media/disk").string() +
                                      " ro shared:50 - iso9660 /dev/loop7p1 ro\n");
        write(root / "sys/block/loop7/loop/backing_file", "/home/u/Lexoria.iso\n");
    }

    // Lexoria.app in `folder`, whose program notes where it was started from.
    fs::path makeBundle(const fs::path& folder, const std::string& marker = "new") {
        const fs::path app = folder / "Lexoria.app";
        write(app / "bin/lexoria",
              "#!/bin/sh\nprintf '%s\\n' \"$0\" >> '" + (root / "started").string() + "'\n");
        write(app / "share/lexoria/marker", marker);
        paths = std::make_unique<HostPathsLinux>(HostPathsLinux::Facts{
            home.string(), "", "", (app / "bin/lexoria").string(), "", opt.string()});
        return app;
    }

    MoveApplicationHost host() {
        return {defaults,  bundle,        locale, *paths, files,       mounts,
                processes, authorization, trash,  alerts, application, log};
    }
};

constexpr const char* kHomeMessage = "Move to Applications folder in your Home folder?";
constexpr const char* kLocalMessage = "Move to Applications folder !";
constexpr const char* kFailure = "Could not move to Applications folder";
constexpr const char* kMoving = "INFO -- Moving myself to the Applications folder";
constexpr const char* kNeedsPassword = " Note that this will require an administrator password.";

enum class Outcome { nothing, declined, moved, switched, canceled, refused };
enum class UserApplications { absent, withoutApplication, holdingOne };

struct Case {
    const char* name;
    const char* folder;  // where the bundle is, below the tree's root
    Outcome outcome;
    const char* message = kHomeMessage;
    const char* note = "";
    const char* copiedTo = "home/Applications";
    bool sourceKept = false;  // after a move
    UserApplications userApplications = UserApplications::holdingOne;
    bool oldCopy = false;  // an old copy in home/Applications
    bool oldCopyRuns = false;
    const char* pkexec = nullptr;  // with /opt read-only and pkexec's stand-in doing this
};

class MoveApplication : public testing::TestWithParam<Case> {};

TEST_P(MoveApplication, OffersCopiesAndRelaunchesAsTheCaseNeeds) {
    const Case& c = GetParam();
    World world;
    if (c.userApplications != UserApplications::absent) {
        write(world.home / "Applications" /
                  (c.userApplications == UserApplications::holdingOne ? "Other.app" : "notes.txt"),
              "");
    }
    const fs::path old = world.home / "Applications/Lexoria.app";
    if (c.oldCopy) {
        world.makeBundle(world.home / "Applications", "old");
    }
    const fs::path source = world.makeBundle(world.root / c.folder);
    if (c.oldCopyRuns) {
        world.processes.running.push_back((old / "bin/lexoria").string());
    }
    if (c.pkexec) {
        world.files.readOnly.insert(world.opt.string());
        write(world.root / "pkexec", std::string("#!/bin/sh\n") + c.pkexec + "\n");
    }
    world.alerts.answers.push_back(c.outcome == Outcome::declined ? kAlertClosed : 0);

    PFMoveToApplicationsFolderIfNecessary(world.host());

    std::vector<std::string> messages, log, launched;
    for (const Alert& alert : world.alerts.shown) {
        messages.push_back(alert.messageText);
    }
    if (c.outcome != Outcome::nothing) {
        ASSERT_FALSE(world.alerts.shown.empty());
        EXPECT_EQ(world.alerts.shown[0].informativeText, c.note);
        EXPECT_EQ(world.alerts.shown[0].buttons,
                  std::vector<std::string>{"Move to Applications Folder"});
        EXPECT_EQ(world.application.activations, 1);
    }
    const fs::path copy = world.root / c.copiedTo / "Lexoria.app";
    switch (c.outcome) {
        case Outcome::nothing:
        case Outcome::declined:
            break;
        case Outcome::moved:
            log = {kMoving};
            launched = {
                "/bin/sh | -c | (while kill -0 4242 >/dev/null 2>&1; do /bin/sleep 0.1; "
                "done; '" +
                (copy / "bin/lexoria").string() + "') &"};
            if (std::string(c.folder).rfind("media/disk", 0) == 0) {
                launched.push_back(
                    "/bin/sh | -c | (/bin/sleep 5 && /usr/bin/udisksctl unmount -b "
                    "'/dev/loop7p1' && /usr/bin/udisksctl loop-delete -b '/dev/loop7') &");
            }
            EXPECT_EQ(readFile(copy / "share/lexoria/marker"), "new");
            EXPECT_EQ(fs::status(copy / "bin/lexoria").permissions(), fs::perms::owner_all);
            break;
        case Outcome::switched:
            log = {kMoving, "INFO -- Switching to an already running version"};
            launched = {(old / "bin/lexoria").string()};
            EXPECT_EQ(readFile(old / "share/lexoria/marker"), "old");
            break;
        case Outcome::canceled:
            log = {kMoving, "INFO -- Not moving because user canceled authorization"};
            break;
        case Outcome::refused:
            log = {kMoving, "ERROR -- Could not copy myself to /Applications with authorization"};
            break;
    }
    std::vector<std::string> expected;
    if (c.outcome != Outcome::nothing) {
        expected.push_back(c.message);
    }
    if (c.outcome == Outcome::refused) {
        expected.push_back(kFailure);
    }
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(world.log.lines, log);
    EXPECT_EQ(world.processes.launched, launched);
    EXPECT_EQ(world.processes.exitStatus, launched.empty() ? std::nullopt : std::optional<int>(0));
    const bool moved = c.outcome == Outcome::moved;
    EXPECT_EQ(fs::exists(source / "share/lexoria/marker"), !moved || c.sourceKept);
    if (!moved && copy != source) {
        EXPECT_NE(readFile(copy / "share/lexoria/marker"), "new");
    }
    if (c.oldCopy && !c.oldCopyRuns) {
        EXPECT_EQ(readFile(world.root / "Trash/files/Lexoria.app/share/lexoria/marker"), "old");
    }
}

// clang-format off
const Case kCases[] = {
    {.name = "InTheUsersApplicationsFolder", .folder = "home/Applications", .outcome = Outcome::nothing},
    {.name = "InTheMachinesApplicationsFolder", .folder = "opt", .outcome = Outcome::nothing},
    {.name = "BelowAFolderCalledApplications", .folder = "srv/Applications/x", .outcome = Outcome::nothing},
    {.name = "NestedInAnotherApplication", .folder = "home/Applications/Host.app/lib",
     .outcome = Outcome::moved, .sourceKept = true},
    {.name = "FromDownloads", .folder = "home/Downloads", .outcome = Outcome::moved,
     .note = " This will keep your Downloads folder uncluttered."},
    {.name = "FromADiskImage", .folder = "media/disk/Lexoria 3", .outcome = Outcome::moved,
     .sourceKept = true},
    {.name = "UserApplicationsHoldNoApplication", .folder = "home/Desktop", .outcome = Outcome::moved,
     .message = kLocalMessage, .copiedTo = "opt", .userApplications = UserApplications::withoutApplication},
    {.name = "OldCopyRuns", .folder = "home/Desktop", .outcome = Outcome::switched, .oldCopy = true,
     .oldCopyRuns = true},
    {.name = "OldCopyGoesToTheTrash", .folder = "home/Desktop", .outcome = Outcome::moved, .oldCopy = true},
    {.name = "ClosedWithoutTheButton", .folder = "home/Desktop", .outcome = Outcome::declined},
    {.name = "PasswordPromptDismissed", .folder = "home/Desktop", .outcome = Outcome::canceled,
     .message = kLocalMessage, .note = kNeedsPassword, .userApplications = UserApplications::absent,
     .pkexec = "exit 126"},
    {.name = "AdministratorCopies", .folder = "home/Desktop", .outcome = Outcome::moved,
     .message = kLocalMessage, .note = kNeedsPassword, .copiedTo = "opt",
     .userApplications = UserApplications::absent, .pkexec = "exec \"$@\""},
    {.name = "AdministratorRefuses", .folder = "home/Desktop", .outcome = Outcome::refused,
     .message = kLocalMessage, .note = kNeedsPassword, .userApplications = UserApplications::absent,
     .pkexec = "exit 127"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Relocation, MoveApplication, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MoveApplicationFailure, AFailedCopyLeavesNothingBehindAndKeepsRunning) {
    World world;
    write(world.home / "Applications/Other.app", "");
    const fs::path source = world.makeBundle(world.home / "Desktop");
    ASSERT_EQ(::mkfifo((source / "share/lexoria/pipe").c_str(), 0600), 0);  // cannot be copied

    PFMoveToApplicationsFolderIfNecessary(world.host());

    const std::string copy = (world.home / "Applications/Lexoria.app").string();
    ASSERT_EQ(world.log.lines.size(), 3u);
    EXPECT_EQ(world.log.lines[1].rfind(
                  "ERROR -- Could not copy '" + source.string() + "' to '" + copy + "' (", 0),
              0u)
        << world.log.lines[1];
    EXPECT_EQ(world.log.lines[2], "ERROR -- Could not copy myself to " + copy);
    ASSERT_EQ(world.alerts.shown.size(), 2u);
    EXPECT_EQ(world.alerts.shown[1].messageText, kFailure);
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_TRUE(fs::exists(source / "bin/lexoria"));
    EXPECT_FALSE(world.processes.exitStatus);
}

TEST(MoveApplicationQuiet, WithTheSettingOrInALinkedApplicationsFolder) {
    World suppressed;
    suppressed.makeBundle(suppressed.home / "Desktop");
    suppressed.defaults.values[kAlertSuppressKey] = "1";
    PFMoveToApplicationsFolderIfNecessary(suppressed.host());
    EXPECT_TRUE(suppressed.alerts.shown.empty());

    // The program runs from the link's target, which is the destination itself: offering
    // would trash the only copy.
    World world;
    write(world.root / "apps/Other.app", "");
    fs::create_directories(world.home);
    fs::create_directory_symlink(world.root / "apps", world.home / "Applications");
    const fs::path source = world.makeBundle(world.root / "apps");
    PFMoveToApplicationsFolderIfNecessary(world.host());
    EXPECT_TRUE(world.alerts.shown.empty());
    EXPECT_TRUE(fs::exists(source / "bin/lexoria"));
}

TEST(MoveApplicationTexts, TheUsersLanguageAndEnglishWithoutATranslation) {
    const std::vector<std::string> rows[][3] = {
        {{"de-AT"},
         {"In den Ordner „Programme“ verschieben!"},
         {"In den Ordner „Programme“ verschieben"}},
        {{"ja"}, {kLocalMessage}, {"Move to Applications Folder"}},
        {{}, {kLocalMessage}, {"Move to Applications Folder"}},
    };
    for (const auto& [languages, message, button] : rows) {
        World world;
        world.makeBundle(world.home / "Desktop");
        world.locale.languages = languages;
        world.alerts.answers.push_back(kAlertClosed);
        PFMoveToApplicationsFolderIfNecessary(world.host());
        ASSERT_EQ(world.alerts.shown.size(), 1u);
        EXPECT_EQ(world.alerts.shown[0].messageText, message.at(0));
        EXPECT_EQ(world.alerts.shown[0].buttons, button);
    }
}

// Through the real shell: quotes, blanks and dollars in the path arrive as one word, and
// the copy starts once the process id is gone.
TEST(MoveApplicationRelaunch, TheShellStartsTheCopyWhateverItsPath) {
    World world;
    world.home = world.root / "it's a \"home\" $HOME";
    write(world.home / "Applications/Other.app", "");
    const fs::path source = world.makeBundle(world.root / "Bob's `apps`");
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    world.processes.pid = gone;

    PFMoveToApplicationsFolderIfNecessary(world.host());

    ASSERT_EQ(world.processes.launched.size(), 1u);
    const std::string script =
        world.processes.launched[0].substr(std::string("/bin/sh | -c | ").size());
    // The waiting shell must not hold the test's output open.
    ASSERT_EQ(
        std::system(
            ("/bin/sh -c " + shellQuotedString(script) + " </dev/null >/dev/null 2>&1").c_str()),
        0);
    const fs::path started = world.root / "started";
    for (int i = 0; i < 200 && readFile(started).empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(readFile(started),
              (world.home / "Applications/Lexoria.app/bin/lexoria").string() + "\n");
    EXPECT_FALSE(fs::exists(source));
}

}  // namespace
}  // namespace lexoria
