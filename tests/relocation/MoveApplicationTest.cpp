// The move into an Applications folder on real folders: HOME, /opt, the mount table and
// sysfs are folders of a fresh temporary tree; pkexec is a script that answers as the
// real one does.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <set>
#include <thread>

#include "DefaultsMemory.h"
#include "FakeDesktop.h"
#include "LocaleFixed.h"
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

void write(const fs::path& file, const std::string& text, bool executable = false) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
    if (executable) {
        fs::permissions(file, fs::perms::owner_all, fs::perm_options::add);
    }
}

std::string read(const fs::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The real file system, except that some folders are not ours to write, as they are
// for anyone but the administrator (the tests may run as root, who may write anywhere).
class FileSystemWithReadOnlyFolders final : public FileSystem {
  public:
    bool exists(const std::string& path) const override { return real.exists(path); }
    bool isDirectory(const std::string& path) const override { return real.isDirectory(path); }
    bool isWritable(const std::string& path) const override {
        return !readOnly.count(path) && real.isWritable(path);
    }
    std::vector<std::string> contentsOfDirectory(const std::string& path) const override {
        return real.contentsOfDirectory(path);
    }
    std::string resolvingSymlinks(const std::string& path) const override {
        return real.resolvingSymlinks(path);
    }
    bool copyItem(const std::string& from, const std::string& to, std::string& error) override {
        return !readOnly.count(fs::path(to).parent_path().string()) &&
               real.copyItem(from, to, error);
    }
    bool removeItem(const std::string& path, std::string& error) override {
        return real.removeItem(path, error);
    }

    FileSystemPosix real;
    std::set<std::string> readOnly;
};

// Starts nothing and ends nothing: records what would have been started, and the exit.
class ProcessesRecorded final : public Processes {
  public:
    int processIdentifier() const override { return pid; }
    std::vector<std::string> runningExecutables() const override { return running; }
    bool launch(const std::string& program, const std::vector<std::string>& arguments) override {
        std::string line = program;
        for (const std::string& argument : arguments) {
            line += " | " + argument;
        }
        launched.push_back(line);
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

enum class UserApplications { absent, withoutApplication, holdingAnApplication };

constexpr const char* kGrant = "exec \"$@\"";
constexpr const char* kDismiss = "exit 126";
constexpr const char* kRefuse = "exit 127";

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
    TrashFolderFiles trash{root / "Trash" / "files"};
    test::FakeAlerts alerts;
    test::FakeApplication application;
    test::LogLines log;

    World() {
        fs::create_directories(opt);
        // The bundle's volume, when it lies below media/disk, is a partition of a loop
        // device; everything else is on the root file system.
        write(root / "mountinfo",
              "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
              "95 22 259:7 / " +
                  (root / "media" / "disk").string() +
                  " ro,nosuid shared:50 - iso9660 /dev/loop7p1 ro\n");
        write(root / "sys/block/loop7/loop/backing_file", "/home/u/Lexoria.iso\n");
        pkexec(kGrant);
    }

    void pkexec(const std::string& body) {
        write(root / "pkexec", "#!/bin/sh\n" + body + "\n", true);
    }

    // A bundle named Lexoria.app in `folder`, whose program notes where it started from.
    fs::path makeBundle(const fs::path& folder, const std::string& marker = "new") {
        const fs::path bundlePath = folder / "Lexoria.app";
        write(bundlePath / "bin/lexoria",
              "#!/bin/sh\nprintf '%s\\n' \"$0\" >> '" + (root / "started").string() + "'\n", true);
        write(bundlePath / "share/lexoria/marker", marker);
        paths = std::make_unique<HostPathsLinux>(
            HostPathsLinux::Facts{home.string(), "", (bundlePath / "bin/lexoria").string(),
                                  (home / ".config").string(), opt.string()});
        return bundlePath;
    }

    MoveApplicationHost host() {
        return {defaults,  bundle,        locale, *paths, files,       mounts,
                processes, authorization, trash,  alerts, application, log};
    }

    std::string relaunchOf(const fs::path& destination) const {
        return "/bin/sh | -c | (while kill -0 " + std::to_string(processes.pid) +
               " >/dev/null 2>&1; do /bin/sleep 0.1; done; '" +
               (destination / "bin/lexoria").string() + "') &";
    }
};

constexpr const char* kMoving = "INFO -- Moving myself to the Applications folder";
constexpr const char* kHomeMessage = "Move to Applications folder in your Home folder?";
constexpr const char* kLocalMessage = "Move to Applications folder !";
constexpr const char* kFailure = "Could not move to Applications folder";
const std::string kDetach =
    "/bin/sh | -c | (/bin/sleep 5 && /usr/bin/udisksctl unmount -b '/dev/loop7p1' && "
    "/usr/bin/udisksctl loop-delete -b '/dev/loop7') &";

struct Case {
    const char* name;
    const char* folder;  // where the bundle is, below the tree's root
    UserApplications userApplications = UserApplications::holdingAnApplication;
    const char* existing = nullptr;  // a bundle already at the destination, below the root
    bool existingRuns = false;
    bool optReadOnly = false;
    const char* pkexec = kGrant;
    int answer = 0;
    // What the user sees and what is left.
    std::vector<std::string> messages;
    std::string informative;
    const char* copiedTo = nullptr;  // the folder that ends with a fresh copy
    bool sourceKept = true;
    bool detached = false;
    bool exited = false;
    std::vector<std::string> log;
};

class MoveApplication : public testing::TestWithParam<Case> {};

TEST_P(MoveApplication, OffersCopiesAndRelaunchesAsTheCaseNeeds) {
    const Case& c = GetParam();
    World world;
    if (c.userApplications != UserApplications::absent) {
        fs::create_directories(world.home / "Applications");
    }
    if (c.userApplications == UserApplications::holdingAnApplication) {
        fs::create_directories(world.home / "Applications/Other.app");
    } else if (c.userApplications == UserApplications::withoutApplication) {
        write(world.home / "Applications/notes.txt", "");
    }
    if (c.existing) {
        world.makeBundle(world.root / c.existing, "old");
    }
    const fs::path source = world.makeBundle(world.root / c.folder);
    if (c.existingRuns) {
        world.processes.running.push_back(
            (world.root / c.existing / "Lexoria.app/bin/lexoria").string());
    }
    if (c.optReadOnly) {
        world.files.readOnly.insert(world.opt.string());
    }
    world.pkexec(c.pkexec);
    world.alerts.answers.push_back(c.answer);

    PFMoveToApplicationsFolderIfNecessary(world.host());

    std::vector<std::string> messages;
    for (const Alert& alert : world.alerts.shown) {
        messages.push_back(alert.messageText);
    }
    EXPECT_EQ(messages, c.messages);
    if (!world.alerts.shown.empty()) {
        const Alert& offer = world.alerts.shown.front();
        EXPECT_EQ(offer.informativeText, c.informative);
        EXPECT_EQ(offer.buttons, std::vector<std::string>{"Move to Applications Folder"});
        EXPECT_EQ(world.application.activations, 1);
    }
    EXPECT_EQ(world.log.lines, c.log);
    EXPECT_EQ(fs::exists(source / "share/lexoria/marker"), c.sourceKept);
    EXPECT_EQ(world.processes.exitStatus.has_value(), c.exited);
    if (world.processes.exitStatus) {
        EXPECT_EQ(*world.processes.exitStatus, 0);
    }
    std::vector<std::string> launched;
    if (c.copiedTo) {
        const fs::path destination = world.root / c.copiedTo / "Lexoria.app";
        EXPECT_EQ(read(destination / "share/lexoria/marker"), "new");
        EXPECT_NE(fs::status(destination / "bin/lexoria").permissions() & fs::perms::owner_exec,
                  fs::perms::none);
        launched.push_back(world.relaunchOf(destination));
    } else {
        for (const fs::path& place :
             {world.home / "Applications/Lexoria.app", world.opt / "Lexoria.app"}) {
            EXPECT_TRUE(place == source || read(place / "share/lexoria/marker") != "new") << place;
        }
    }
    if (c.existingRuns) {
        const fs::path running = world.root / c.existing / "Lexoria.app";
        EXPECT_EQ(read(running / "share/lexoria/marker"), "old");
        launched.push_back((running / "bin/lexoria").string());
    }
    if (c.existing && !c.existingRuns) {
        EXPECT_EQ(read(world.root / "Trash/files/Lexoria.app/share/lexoria/marker"), "old");
    }
    if (c.detached) {
        launched.push_back(kDetach);
    }
    EXPECT_EQ(world.processes.launched, launched);
}

const Case kCases[] = {
    {.name = "InTheUsersApplicationsFolder", .folder = "home/Applications"},
    {.name = "InTheMachinesApplicationsFolder", .folder = "opt"},
    {.name = "BelowAFolderCalledApplications", .folder = "srv/Applications/tools"},
    {.name = "NestedInAnotherApplicationInsideApplications",
     .folder = "home/Applications/Host.app/lib",
     .messages = {kHomeMessage},
     .copiedTo = "home/Applications",
     .sourceKept = true,
     .exited = true,
     .log = {kMoving}},
    {.name = "FromDownloads",
     .folder = "home/Downloads",
     .messages = {kHomeMessage},
     .informative = " This will keep your Downloads folder uncluttered.",
     .copiedTo = "home/Applications",
     .sourceKept = false,
     .exited = true,
     .log = {kMoving}},
    {.name = "FromADiskImage",
     .folder = "media/disk/Lexoria 3",
     .messages = {kHomeMessage},
     .copiedTo = "home/Applications",
     .sourceKept = true,
     .detached = true,
     .exited = true,
     .log = {kMoving}},
    {.name = "UserApplicationsFolderHoldsNoApplication",
     .folder = "home/Desktop",
     .userApplications = UserApplications::withoutApplication,
     .messages = {kLocalMessage},
     .copiedTo = "opt",
     .sourceKept = false,
     .exited = true,
     .log = {kMoving}},
    {.name = "NoUserApplicationsFolder",
     .folder = "home/Desktop",
     .userApplications = UserApplications::absent,
     .messages = {kLocalMessage},
     .copiedTo = "opt",
     .sourceKept = false,
     .exited = true,
     .log = {kMoving}},
    {.name = "DestinationAlreadyRunning",
     .folder = "home/Desktop",
     .existing = "home/Applications",
     .existingRuns = true,
     .messages = {kHomeMessage},
     .sourceKept = true,
     .exited = true,
     .log = {kMoving, "INFO -- Switching to an already running version"}},
    {.name = "OldCopyNotRunningGoesToTheTrash",
     .folder = "home/Desktop",
     .existing = "home/Applications",
     .messages = {kHomeMessage},
     .copiedTo = "home/Applications",
     .sourceKept = false,
     .exited = true,
     .log = {kMoving}},
    {.name = "ClosedWithoutTheButton",
     .folder = "home/Desktop",
     .answer = -1,
     .messages = {kHomeMessage},
     .sourceKept = true},
    {.name = "AdministratorPromptDismissed",
     .folder = "home/Desktop",
     .userApplications = UserApplications::withoutApplication,
     .optReadOnly = true,
     .pkexec = kDismiss,
     .messages = {kLocalMessage},
     .informative = " Note that this will require an administrator password.",
     .log = {kMoving, "INFO -- Not moving because user canceled authorization"}},
    {.name = "AdministratorCopies",
     .folder = "home/Desktop",
     .userApplications = UserApplications::withoutApplication,
     .optReadOnly = true,
     .pkexec = kGrant,
     .messages = {kLocalMessage},
     .informative = " Note that this will require an administrator password.",
     .copiedTo = "opt",
     .sourceKept = false,
     .exited = true,
     .log = {kMoving}},
    {.name = "AdministratorRefuses",
     .folder = "home/Desktop",
     .userApplications = UserApplications::withoutApplication,
     .optReadOnly = true,
     .pkexec = kRefuse,
     .messages = {kLocalMessage, kFailure},
     .informative = " Note that this will require an administrator password.",
     .log = {kMoving, "ERROR -- Could not copy myself to /Applications with authorization"}},
};

INSTANTIATE_TEST_SUITE_P(Relocation, MoveApplication, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MoveApplicationFailure, AFailedCopyLeavesNothingBehindAndKeepsRunning) {
    World world;
    fs::create_directories(world.home / "Applications/Other.app");
    const fs::path source = world.makeBundle(world.home / "Desktop");
    ASSERT_EQ(::mkfifo((source / "share/lexoria/pipe").c_str(), 0600), 0);

    PFMoveToApplicationsFolderIfNecessary(world.host());

    const std::string destination = (world.home / "Applications/Lexoria.app").string();
    ASSERT_EQ(world.log.lines.size(), 3u);
    EXPECT_EQ(world.log.lines[0], kMoving);
    EXPECT_EQ(
        world.log.lines[1].rfind(
            "ERROR -- Could not copy '" + source.string() + "' to '" + destination + "' (", 0),
        0u)
        << world.log.lines[1];
    EXPECT_EQ(world.log.lines[2], "ERROR -- Could not copy myself to " + destination);
    ASSERT_EQ(world.alerts.shown.size(), 2u);
    EXPECT_EQ(world.alerts.shown[1].messageText, kFailure);
    EXPECT_TRUE(world.alerts.shown[1].buttons.empty());
    EXPECT_FALSE(fs::exists(destination));
    EXPECT_TRUE(fs::exists(source / "bin/lexoria"));
    EXPECT_FALSE(world.processes.exitStatus);
    EXPECT_TRUE(world.processes.launched.empty());
}

TEST(MoveApplicationSuppressed, TheSettingKeepsItQuiet) {
    World world;
    world.makeBundle(world.home / "Desktop");
    world.defaults.values[kAlertSuppressKey] = "1";
    PFMoveToApplicationsFolderIfNecessary(world.host());
    EXPECT_TRUE(world.alerts.shown.empty());
}

// A linked Applications folder: the program runs from the link's target, which is the
// destination itself. Offering would trash the only copy.
TEST(MoveApplicationLinked, ALinkedApplicationsFolderCountsAsOne) {
    World world;
    fs::create_directories(world.root / "apps/Other.app");
    fs::create_directories(world.home);
    fs::create_directory_symlink(world.root / "apps", world.home / "Applications");
    const fs::path source = world.makeBundle(world.root / "apps");
    PFMoveToApplicationsFolderIfNecessary(world.host());
    EXPECT_TRUE(world.alerts.shown.empty());
    EXPECT_TRUE(fs::exists(source / "bin/lexoria"));
}

TEST(MoveApplicationTexts, TheOfferSpeaksTheUsersLanguageAndEnglishWithoutATranslation) {
    struct Row {
        std::vector<std::string> languages;
        std::string message, button;
    };
    const Row rows[] = {
        {{"de-AT"},
         "In den Ordner „Programme“ verschieben!",
         "In den Ordner „Programme“ verschieben"},
        {{"ja"}, kLocalMessage, "Move to Applications Folder"},
        {{}, kLocalMessage, "Move to Applications Folder"},
    };
    for (const Row& row : rows) {
        World world;
        world.makeBundle(world.home / "Desktop");
        world.locale.languages = row.languages;
        world.alerts.answers.push_back(-1);
        PFMoveToApplicationsFolderIfNecessary(world.host());
        ASSERT_EQ(world.alerts.shown.size(), 1u);
        EXPECT_EQ(world.alerts.shown[0].messageText, row.message);
        EXPECT_EQ(world.alerts.shown[0].buttons, std::vector<std::string>{row.button});
    }
}

// The relaunch goes through the real shell: a folder name with quotes and blanks arrives
// as one word, and the copy starts once the process id is gone.
TEST(MoveApplicationRelaunch, TheShellStartsTheCopyWhateverItsPath) {
    World world;
    world.home = world.root / "it's a \"home\" $HOME";
    fs::create_directories(world.home / "Applications/Other.app");
    const fs::path source = world.makeBundle(world.root / "Bob's `apps`");
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    world.processes.pid = gone;

    PFMoveToApplicationsFolderIfNecessary(world.host());

    ASSERT_EQ(world.processes.launched.size(), 1u);
    const std::string prefix = "/bin/sh | -c | ";
    const std::string script = world.processes.launched[0].substr(prefix.size());
    // The waiting shell must not hold the test's output open.
    ASSERT_EQ(
        std::system(
            ("/bin/sh -c " + shellQuotedString(script) + " </dev/null >/dev/null 2>&1").c_str()),
        0);
    const fs::path started = world.root / "started";
    for (int i = 0; i < 200 && read(started).empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(read(started), (world.home / "Applications/Lexoria.app/bin/lexoria").string() + "\n");
    EXPECT_FALSE(fs::exists(source));
}

}  // namespace
}  // namespace lexoria
