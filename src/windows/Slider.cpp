#include "Slider.h"

#include "WindowAdditions.h"

namespace lexoria {

namespace {

// Percent-encodes every byte but the unreserved characters and those in `keep`, so a
// subject with "&" or "?" cannot end its own field.
std::string encodeMailField(const std::string& text, std::string_view keep = {}) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
        const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved || (c < 0x80 && keep.find(static_cast<char>(c)) != keep.npos)) {
            out.push_back(static_cast<char>(c));
        } else {
            out += {'%', kHex[c >> 4], kHex[c & 0xF]};
        }
    }
    return out;
}

}  // namespace

Slider::Slider(Window& window, Views views, Workspace& workspace,
               std::function<std::string(const std::string& path)> siteLink,
               std::string supportAddress)
    : window_(window),
      views_(views),
      workspace_(workspace),
      siteLink_(std::move(siteLink)),
      supportAddress_(std::move(supportAddress)) {}

void Slider::awakeFromNib() {
    if (views_.generalView) {
        switchView(window_, *views_.generalView);
    }
}

void Slider::changeView(int tag) {
    View* const byTag[] = {views_.generalView, views_.infoView, views_.reviewersView};
    if (tag < 0 || tag > 2 || !byTag[tag]) {
        return;
    }
    switchView(window_, *byTag[tag]);
}

void Slider::showPreferences() {
    window_.makeKeyAndOrderFront();
    window_.setLevel(WindowLevel::aboveScreenSaver);
    window_.orderFront();
}

void Slider::reportaBug() {
    sendEmailWithMail("", supportAddress_, "Lexoria", "");
}

void Slider::sendEmailWithMail(const std::string& /*mail*/, const std::string& address,
                               const std::string& subject, const std::string& body) {
    workspace_.openURL("mailto:" + encodeMailField(address, "@") +
                       "?Subject=" + encodeMailField(subject) + "&body=" + encodeMailField(body));
}

void Slider::openHowItWork() {
    workspace_.openURL(siteLink_("/"));
}

void Slider::watchGuideShortcuts() {
    workspace_.openURL(siteLink_("/shortcuts.mov"));
}

void Slider::downloadPopClipExt() {
    workspace_.openURL(siteLink_("/data/uploads/lexoriasource/PopClip_Extention.dmg"));
}

}  // namespace lexoria
