#pragma once

#include <functional>
#include <string>

#include "ports/Controls.h"
#include "ports/Workspace.h"

namespace lexoria {

// The preferences window: switches its three views and answers its four link buttons.
class Slider {
  public:
    struct Views {
        View* generalView = nullptr;
        View* infoView = nullptr;
        View* reviewersView = nullptr;
    };
    // `siteLink` makes the address of a path on the maker's site; `supportAddress` is the
    // mail address problems are reported to.
    Slider(Window& window, Views views, Workspace& workspace,
           std::function<std::string(const std::string& path)> siteLink,
           std::string supportAddress);

    // The general view comes first.
    void awakeFromNib();
    // The toolbar item with `tag` chosen: 0 general, 1 information, 2 reviewers.
    void changeView(int tag);
    // Above everything, the main window included, which floats at the maximum level.
    void showPreferences();
    void reportaBug();
    // Has the user's mail program compose a message; `mail` is not used.
    void sendEmailWithMail(const std::string& mail, const std::string& address,
                           const std::string& subject, const std::string& body);
    void openHowItWork();
    void watchGuideShortcuts();
    void downloadPopClipExt();

  private:
    Window& window_;
    Views views_;
    Workspace& workspace_;
    std::function<std::string(const std::string&)> siteLink_;
    std::string supportAddress_;
};

}  // namespace lexoria
