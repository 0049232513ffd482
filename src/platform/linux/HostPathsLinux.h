#pragma once

#include <string>

#include "ports/HostPaths.h"

namespace lexoria {

// The bundle is the "*.app" folder the program runs from (its executable in bin/), or the
// AppImage file named by $APPIMAGE; the user's Applications folder is ~/Applications,
// the machine's is /opt.
class HostPathsLinux final : public HostPaths {
  public:
    struct Facts {
        std::string home;
        std::string appImage;    // $APPIMAGE, empty when unset
        std::string appDir;      // $APPDIR: where the AppImage runtime mounted it
        std::string executable;  // the running program, links resolved
        std::string configHome;  // where user-dirs.dirs lives
        std::string localApplications = "/opt";
    };
    explicit HostPathsLinux(Facts facts) : facts_(std::move(facts)) {}
    // The facts of this process and its environment.
    static HostPathsLinux forThisProcess();

    std::optional<std::string> bundlePath() const override;
    std::string bundleExecutable() const override;
    std::vector<std::string> applicationsFolders(Domain domain) const override;
    std::vector<std::string> downloadsFolders() const override;

  private:
    bool runsFromAppImage() const;

    Facts facts_;
};

}  // namespace lexoria
