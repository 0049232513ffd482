// Moving the running application into an Applications folder, with the administrator's
// rights when the folder is not ours, and starting the copy once this process is gone.
#include "PFMoveApplication.h"

#include <filesystem>
#include <map>

#include "engine/PropertyList.h"
#include "engine/SettingsStore.h"

namespace lexoria {

namespace {

namespace fs = std::filesystem;

std::string lastComponent(const std::string& path) {
    return fs::path(path).filename().string();
}

std::string parentFolder(const std::string& path) {
    return fs::path(path).parent_path().string();
}

bool hasSuffix(const std::string& text, const std::string& suffix) {
    return text.size() > suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// An application bundle: a "*.app" folder, or a single-file AppImage.
bool isApplicationName(const std::string& name) {
    return hasSuffix(name, ".app") || hasSuffix(name, ".AppImage");
}

// Whole components only: "/opt" holds "/opt/x" but not "/optional".
bool isInsideFolder(const std::string& path, std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    if (folder.empty()) {
        return false;
    }
    return path == folder || folder == "/" || path.rfind(folder + "/", 0) == 0;
}

std::vector<std::string> components(const std::string& path) {
    std::vector<std::string> parts;
    for (const fs::path& part : fs::path(path)) {
        parts.push_back(part.string());
    }
    return parts;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\n\r\f\v");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\n\r\f\v") - first + 1);
}

// The strings table "MoveApplication": per language, English text to translation.
class Strings {
  public:
    explicit Strings(const MoveApplicationHost& host) {
        const std::vector<std::string> languages = host.locale.preferredLanguages();
        const auto path = host.bundle.pathForResource("MoveApplication", "plist");
        const std::optional<PlistValue> table = path ? readPropertyList(*path) : std::nullopt;
        if (languages.empty() || !table) {
            return;
        }
        const std::string& language = languages.front();
        const PlistValue* entry = table->member(language);
        if (!entry) {
            entry = table->member(language.substr(0, language.find('-')));
        }
        texts_ = textDictionary(entry);
    }

    std::string operator()(const std::string& english) const {
        const auto it = texts_.find(english);
        return it == texts_.end() || it->second.empty() ? english : it->second;
    }

  private:
    std::map<std::string, std::string> texts_;
};

bool isInApplicationsFolder(const std::string& path, const MoveApplicationHost& host) {
    for (const Domain domain : {Domain::user, Domain::local}) {
        for (const std::string& folder : host.paths.applicationsFolders(domain)) {
            // A linked Applications folder holds the bundle under its real path too.
            if (isInsideFolder(path, folder) ||
                isInsideFolder(path, host.files.resolvingSymlinks(folder))) {
                return true;
            }
        }
    }
    for (const std::string& part : components(path)) {
        if (part == "Applications") {
            return true;
        }
    }
    return false;
}

bool isInDownloadsFolder(const std::string& path, const MoveApplicationHost& host) {
    for (const std::string& folder : host.paths.downloadsFolders()) {
        if (isInsideFolder(path, folder)) {
            return true;
        }
    }
    return false;
}

struct InstallLocation {
    std::string folder;
    bool home = false;
};

// The user's own folder once it holds an application, otherwise the machine's.
std::optional<InstallLocation> preferredInstallLocation(const MoveApplicationHost& host) {
    const std::vector<std::string> user = host.paths.applicationsFolders(Domain::user);
    if (!user.empty() && host.files.isDirectory(user.front())) {
        for (const std::string& name : host.files.contentsOfDirectory(user.front())) {
            if (isApplicationName(name)) {
                return InstallLocation{host.files.resolvingSymlinks(user.front()), true};
            }
        }
    }
    const std::vector<std::string> local = host.paths.applicationsFolders(Domain::local);
    if (local.empty()) {
        return std::nullopt;
    }
    return InstallLocation{host.files.resolvingSymlinks(local.back()), false};
}

bool isApplicationAtPathRunning(const std::string& bundlePath, const MoveApplicationHost& host) {
    const std::string standard = host.files.resolvingSymlinks(bundlePath);
    for (const std::string& executable : host.processes.runningExecutables()) {
        if (isInsideFolder(executable, standard)) {
            return true;
        }
    }
    return false;
}

std::string programIn(const std::string& bundlePath, const MoveApplicationHost& host) {
    const std::string executable = host.paths.bundleExecutable();
    return executable.empty() ? bundlePath : bundlePath + "/" + executable;
}

void showFailureAlert(const MoveApplicationHost& host, const Strings& localized) {
    Alert alert;
    alert.messageText = localized("Could not move to Applications folder");
    host.alerts.runModal(alert);
}

void deleteOrTrash(const std::string& path, const MoveApplicationHost& host) {
    std::string error;
    if (host.files.removeItem(path, error)) {
        return;
    }
    host.log.line("WARNING -- Could not delete '" + path + "': " + error);
    if (!Trash(path, host)) {
        host.log.line(
            "WARNING -- Could not delete application after moving it to Applications folder");
    }
}

// Waits for this process to go, then starts the copy. The shell's own kill is used: a
// fresh machine need not have /bin/kill.
void relaunch(const std::string& destinationPath, const MoveApplicationHost& host) {
    const std::string script = "(while kill -0 " +
                               std::to_string(host.processes.processIdentifier()) +
                               " >/dev/null 2>&1; do /bin/sleep 0.1; done; " +
                               shellQuotedString(programIn(destinationPath, host)) + ") &";
    host.processes.launch("/bin/sh", {"-c", script});
}

void detachLater(const DiskImage& image, const MoveApplicationHost& host) {
    const std::string script =
        "(/bin/sleep 5 && /usr/bin/udisksctl unmount -b " + shellQuotedString(image.device) +
        " && /usr/bin/udisksctl loop-delete -b " + shellQuotedString(image.loopDevice) + ") &";
    host.processes.launch("/bin/sh", {"-c", script});
}

}  // namespace

std::string shellQuotedString(const std::string& path) {
    std::string quoted = "'";
    for (const char c : path) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

bool Trash(const std::string& path, const MoveApplicationHost& host) {
    if (host.trash.moveToTrash(path)) {
        return true;
    }
    host.log.line("ERROR -- Could not trash '" + path + "'");
    return false;
}

bool AuthorizedInstall(const std::string& sourcePath, const std::string& destinationPath,
                       bool& canceled, const MoveApplicationHost& host) {
    canceled = false;
    // The destination is removed with the administrator's rights: it must be a bundle.
    if (!isApplicationName(lastComponent(destinationPath)) || trimmed(sourcePath).empty() ||
        trimmed(destinationPath).empty()) {
        return false;
    }
    // Both commands under one password prompt. A destination that could not be removed
    // would otherwise receive the copy inside itself; the script's status is 0 or 1 only,
    // so it cannot be mistaken for the prompt's own answers.
    const std::string script = "/bin/rm -rf -- \"$1\" && /bin/cp -pR -- \"$2\" \"$1\" || exit 1";
    const PrivilegedRun run = host.authorization.executeWithPrivileges(
        "/bin/sh", {"-c", script, "sh", destinationPath, sourcePath});
    canceled = run.canceled;
    return !run.canceled && run.exitStatus == 0;
}

void PFMoveToApplicationsFolderIfNecessary(const MoveApplicationHost& host) {
    if (flagValue(host.defaults.objectForKey(kAlertSuppressKey))) {
        return;
    }
    const std::optional<std::string> bundle = host.paths.bundlePath();
    if (!bundle) {
        return;
    }
    const std::string& bundlePath = *bundle;
    bool isNested = false;
    for (const std::string& part : components(parentFolder(bundlePath))) {
        isNested = isNested || hasSuffix(part, ".app");
    }
    if (!isNested && isInApplicationsFolder(bundlePath, host)) {
        return;
    }
    const std::optional<DiskImage> diskImage =
        host.mounts.diskImageHolding(parentFolder(bundlePath));
    const std::optional<InstallLocation> install = preferredInstallLocation(host);
    if (!install) {
        return;
    }
    const std::string destinationPath = install->folder + "/" + lastComponent(bundlePath);
    // Copying a bundle onto itself would trash the only copy.
    if (host.files.resolvingSymlinks(destinationPath) == host.files.resolvingSymlinks(bundlePath)) {
        return;
    }
    const bool needAuthorization =
        !host.files.isWritable(install->folder) ||
        (host.files.exists(destinationPath) && !host.files.isWritable(destinationPath));

    const Strings localized(host);
    Alert alert;
    alert.messageText = localized(install->home ? "Move to Applications folder in your Home folder?"
                                                : "Move to Applications folder !");
    alert.informativeText = localized("");
    if (needAuthorization) {
        alert.informativeText +=
            " " + localized("Note that this will require an administrator password.");
    } else if (isInDownloadsFolder(bundlePath, host)) {
        alert.informativeText +=
            " " + localized("This will keep your Downloads folder uncluttered.");
    }
    alert.buttons = {localized("Move to Applications Folder")};
    host.application.activateIgnoringOtherApps();
    // Only the button moves; closing the alert any other way declines.
    if (host.alerts.runModal(alert) != 0) {
        return;
    }
    host.log.line("INFO -- Moving myself to the Applications folder");

    if (needAuthorization) {
        bool canceled = false;
        if (!AuthorizedInstall(bundlePath, destinationPath, canceled, host)) {
            if (canceled) {
                host.log.line("INFO -- Not moving because user canceled authorization");
                return;
            }
            host.log.line("ERROR -- Could not copy myself to /Applications with authorization");
            showFailureAlert(host, localized);
            return;
        }
    } else {
        if (host.files.exists(destinationPath)) {
            if (isApplicationAtPathRunning(destinationPath, host)) {
                host.log.line("INFO -- Switching to an already running version");
                host.processes.launch(programIn(destinationPath, host), {});
                host.processes.exit(0);
                return;
            }
            if (!Trash(destinationPath, host)) {
                showFailureAlert(host, localized);
                return;
            }
        }
        std::string error;
        if (!host.files.copyItem(bundlePath, destinationPath, error)) {
            host.log.line("ERROR -- Could not copy '" + bundlePath + "' to '" + destinationPath +
                          "' (" + error + ")");
            host.log.line("ERROR -- Could not copy myself to " + destinationPath);
            showFailureAlert(host, localized);
            return;
        }
    }

    if (!isNested && !diskImage) {
        deleteOrTrash(bundlePath, host);
    }
    relaunch(destinationPath, host);
    if (!isNested && diskImage) {
        detachLater(*diskImage, host);
    }
    host.processes.exit(0);
}

}  // namespace lexoria
