#include "platform/linux/AccessibleElementAtspi.h"

#include <atspi/atspi.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstring>

#include "capture/Utf16.h"

namespace lexoria {
namespace {

// Lists longer than this are cut: a poll must not walk a table of a million rows.
constexpr int kMaxListed = 1000;
// Read ahead of what a query needs, so the letters to the right of a word come from one read.
constexpr long kReadAhead = 256;

// Runs an AT-SPI query; an error (a time-out, a vanished element) gives nothing.
template <typename Call>
auto ask(Call call) -> std::optional<decltype(call(static_cast<GError**>(nullptr)))> {
    GError* error = nullptr;
    auto result = call(&error);
    if (error != nullptr) {
        g_error_free(error);
        return std::nullopt;
    }
    return result;
}

std::optional<std::string> takeText(gchar* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    std::string out(text);
    g_free(text);
    return out;
}

template <typename Iface>
struct IfaceRef {
    explicit IfaceRef(Iface* iface) : iface(iface) {}
    ~IfaceRef() {
        if (iface != nullptr) {
            g_object_unref(iface);
        }
    }
    IfaceRef(const IfaceRef&) = delete;
    IfaceRef& operator=(const IfaceRef&) = delete;
    explicit operator bool() const { return iface != nullptr; }
    Iface* iface;
};

const char* const kTextQueries[] = {
    ax::kRangeForPosition, ax::kStringForRange, ax::kTextMarkerForPosition,
    ax::kLeftWordTextMarkerRangeForTextMarker, ax::kStringForTextMarkerRange};

AXValue marker(AXValue::Kind kind, long start, long end) {
    AXValue value;
    value.kind = kind;
    value.range = {start, end - start};
    return value;
}

}  // namespace

AccessibleElementAtspi::AccessibleElementAtspi(AtspiAccessible* accessible, TextOffsets offsets)
    : accessible_(static_cast<AtspiAccessible*>(g_object_ref(accessible))), offsets_(offsets) {}

AccessibleElementAtspi::~AccessibleElementAtspi() {
    g_object_unref(accessible_);
}

bool AccessibleElementAtspi::equals(const AccessibleElement& other) const {
    const auto* that = dynamic_cast<const AccessibleElementAtspi*>(&other);
    if (that == nullptr) {
        return false;
    }
    const AtspiObject& a = accessible_->parent;
    const AtspiObject& b = that->accessible_->parent;
    return a.app != nullptr && b.app != nullptr && a.path != nullptr && b.path != nullptr &&
           std::strcmp(a.app->bus_name, b.app->bus_name) == 0 && std::strcmp(a.path, b.path) == 0;
}

std::optional<int32_t> AccessibleElementAtspi::processIdentifier() const {
    const auto pid =
        ask([&](GError** e) { return atspi_accessible_get_process_id(accessible_, e); });
    if (!pid) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*pid);
}

bool AccessibleElementAtspi::isApplication() const {
    return ask([&](GError** e) { return atspi_accessible_get_role(accessible_, e); }) ==
           ATSPI_ROLE_APPLICATION;
}

std::shared_ptr<AccessibleElement> AccessibleElementAtspi::wrap(AtspiAccessible* accessible) const {
    if (accessible == nullptr) {
        return nullptr;
    }
    auto element = std::make_shared<AccessibleElementAtspi>(accessible, offsets_);
    g_object_unref(accessible);
    return element;
}

std::optional<std::vector<std::string>> AccessibleElementAtspi::attributeNames() const {
    std::vector<std::string> names{ax::kRole, ax::kTitle, ax::kDescription};
    if (!isApplication()) {
        names.emplace_back(ax::kParent);
    }
    if (IfaceRef component(atspi_accessible_get_component_iface(accessible_)); component) {
        names.emplace_back(ax::kPosition);
        names.emplace_back(ax::kSize);
    }
    names.emplace_back(ax::kChildren);
    if (IfaceRef table(atspi_accessible_get_table_iface(accessible_)); table) {
        names.emplace_back(ax::kRows);
    }
    return names;
}

std::optional<AXValue> AccessibleElementAtspi::copyAttributeValue(const std::string& name) const {
    if (name == ax::kRole) {
        if (isApplication()) {
            return AXValue::ofText(ax::kApplicationRole);
        }
        const auto role =
            ask([&](GError** e) { return atspi_accessible_get_role_name(accessible_, e); });
        const auto text = role ? takeText(*role) : std::nullopt;
        return text ? std::optional(AXValue::ofText(*text)) : std::nullopt;
    }
    if (name == ax::kTitle || name == ax::kDescription) {
        const auto read = ask([&](GError** e) {
            return name == ax::kTitle ? atspi_accessible_get_name(accessible_, e)
                                      : atspi_accessible_get_description(accessible_, e);
        });
        const auto text = read ? takeText(*read) : std::nullopt;
        return text ? std::optional(AXValue::ofText(*text)) : std::nullopt;
    }
    if (name == ax::kParent) {
        if (isApplication()) {
            return std::nullopt;  // the desktop above programs is no element of theirs
        }
        const auto parent =
            ask([&](GError** e) { return atspi_accessible_get_parent(accessible_, e); });
        if (!parent || *parent == nullptr) {
            return std::nullopt;
        }
        return AXValue::ofElement(wrap(*parent));
    }
    if (name == ax::kPosition || name == ax::kSize) {
        IfaceRef component(atspi_accessible_get_component_iface(accessible_));
        if (!component) {
            return std::nullopt;
        }
        const auto extents = ask([&](GError** e) {
            return atspi_component_get_extents(component.iface, ATSPI_COORD_TYPE_SCREEN, e);
        });
        if (!extents || *extents == nullptr) {
            return std::nullopt;
        }
        const AtspiRect rect = **extents;
        g_free(*extents);
        return name == ax::kPosition ? AXValue::ofPoint({double(rect.x), double(rect.y)})
                                     : AXValue::ofSize({double(rect.width), double(rect.height)});
    }
    if (name == ax::kChildren) {
        const auto count = attributeValueCount(name);
        if (!count) {
            return std::nullopt;
        }
        std::vector<AXValue> children;
        for (int i = 0; i < std::min<long>(*count, kMaxListed); ++i) {
            const auto child = ask(
                [&](GError** e) { return atspi_accessible_get_child_at_index(accessible_, i, e); });
            if (child && *child != nullptr) {
                children.push_back(AXValue::ofElement(wrap(*child)));
            }
        }
        return AXValue::ofList(std::move(children));
    }
    if (name == ax::kRows) {
        IfaceRef table(atspi_accessible_get_table_iface(accessible_));
        const auto count = attributeValueCount(name);
        if (!table || !count) {
            return std::nullopt;
        }
        // A row is its first cell: AT-SPI tables have no row elements.
        std::vector<AXValue> rows;
        for (int row = 0; row < std::min<long>(*count, kMaxListed); ++row) {
            const auto cell = ask(
                [&](GError** e) { return atspi_table_get_accessible_at(table.iface, row, 0, e); });
            if (cell && *cell != nullptr) {
                rows.push_back(AXValue::ofElement(wrap(*cell)));
            }
        }
        return AXValue::ofList(std::move(rows));
    }
    return std::nullopt;
}

std::optional<long> AccessibleElementAtspi::attributeValueCount(const std::string& name) const {
    if (name == ax::kChildren) {
        const auto count =
            ask([&](GError** e) { return atspi_accessible_get_child_count(accessible_, e); });
        return count && *count >= 0 ? std::optional<long>(*count) : std::nullopt;
    }
    if (name == ax::kRows) {
        IfaceRef table(atspi_accessible_get_table_iface(accessible_));
        if (!table) {
            return std::nullopt;
        }
        const auto count = ask([&](GError** e) { return atspi_table_get_n_rows(table.iface, e); });
        return count && *count >= 0 ? std::optional<long>(*count) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<bool> AccessibleElementAtspi::isAttributeSettable(const std::string& name) const {
    const auto names = attributeNames();
    if (!names || std::find(names->begin(), names->end(), name) == names->end()) {
        return std::nullopt;
    }
    return false;  // AT-SPI sets nothing through these attributes
}

std::optional<std::vector<std::string>> AccessibleElementAtspi::actionNames() const {
    std::vector<std::string> names;
    IfaceRef action(atspi_accessible_get_action_iface(accessible_));
    if (!action) {
        return names;
    }
    const auto count = ask([&](GError** e) { return atspi_action_get_n_actions(action.iface, e); });
    if (!count) {
        return std::nullopt;
    }
    for (int i = 0; i < *count; ++i) {
        const auto name =
            ask([&](GError** e) { return atspi_action_get_action_name(action.iface, i, e); });
        if (const auto text = name ? takeText(*name) : std::nullopt) {
            names.push_back(*text);
        }
    }
    return names;
}

std::optional<std::string> AccessibleElementAtspi::actionDescription(
    const std::string& wanted) const {
    IfaceRef action(atspi_accessible_get_action_iface(accessible_));
    const auto names = actionNames();
    if (!action || !names) {
        return std::nullopt;
    }
    const auto it = std::find(names->begin(), names->end(), wanted);
    if (it == names->end()) {
        return std::nullopt;
    }
    const int index = static_cast<int>(it - names->begin());
    const auto text = ask(
        [&](GError** e) { return atspi_action_get_action_description(action.iface, index, e); });
    return text ? takeText(*text) : std::nullopt;
}

void AccessibleElementAtspi::performAction(const std::string& wanted) {
    IfaceRef action(atspi_accessible_get_action_iface(accessible_));
    const auto names = actionNames();
    if (!action || !names) {
        return;
    }
    const auto it = std::find(names->begin(), names->end(), wanted);
    if (it != names->end()) {
        const int index = static_cast<int>(it - names->begin());
        ask([&](GError** e) { return atspi_action_do_action(action.iface, index, e); });
    }
}

std::optional<std::vector<std::string>> AccessibleElementAtspi::parameterizedAttributeNames()
    const {
    IfaceRef text(atspi_accessible_get_text_iface(accessible_));
    if (!text) {
        return std::vector<std::string>{};
    }
    return std::vector<std::string>(std::begin(kTextQueries), std::end(kTextQueries));
}

const std::u16string* AccessibleElementAtspi::textUpTo(long offsets) const {
    if (textComplete_ || offsets <= textOffsetsRead_) {
        return &text_;
    }
    IfaceRef text(atspi_accessible_get_text_iface(accessible_));
    if (!text) {
        return nullptr;
    }
    const auto count =
        ask([&](GError** e) { return atspi_text_get_character_count(text.iface, e); });
    if (!count) {
        return nullptr;
    }
    const long end = std::min<long>(*count, std::max(offsets, 0L) + kReadAhead);
    const auto read = ask(
        [&](GError** e) { return atspi_text_get_text(text.iface, 0, static_cast<gint>(end), e); });
    const auto utf8 = read ? takeText(*read) : std::nullopt;
    if (!utf8) {
        return nullptr;
    }
    text_ = utf16FromUtf8(*utf8);
    textOffsetsRead_ = end;
    textComplete_ = end >= *count;
    return &text_;
}

std::optional<long> AccessibleElementAtspi::unitsFromOffset(long offset) const {
    if (offsets_ == TextOffsets::Utf16Units || offset <= 0) {
        return offset;
    }
    const auto* text = textUpTo(offset);
    if (text == nullptr) {
        return std::nullopt;
    }
    size_t units = 0;
    for (long characters = 0; characters < offset && units < text->size(); ++characters) {
        U16_FWD_1(text->data(), units, text->size());
    }
    return static_cast<long>(units);
}

std::optional<long> AccessibleElementAtspi::offsetFromUnits(long units) const {
    if (offsets_ == TextOffsets::Utf16Units || units <= 0) {
        return units;
    }
    const auto* text = textUpTo(units);
    if (text == nullptr) {
        return std::nullopt;
    }
    long characters = 0;
    for (size_t i = 0; i < std::min<size_t>(units, text->size()); ++characters) {
        U16_FWD_1(text->data(), i, text->size());
    }
    return characters;
}

std::optional<AXValue> AccessibleElementAtspi::copyParameterizedAttributeValue(
    const std::string& name, const AXValue& parameter) const {
    IfaceRef text(atspi_accessible_get_text_iface(accessible_));
    if (!text) {
        return std::nullopt;
    }
    if ((name == ax::kRangeForPosition || name == ax::kTextMarkerForPosition) &&
        parameter.kind == AXValue::Kind::Point) {
        const auto offset = ask([&](GError** e) {
            return atspi_text_get_offset_at_point(text.iface, static_cast<gint>(parameter.point.x),
                                                  static_cast<gint>(parameter.point.y),
                                                  ATSPI_COORD_TYPE_SCREEN, e);
        });
        if (!offset || *offset < 0) {
            return std::nullopt;  // no character there
        }
        const auto units = unitsFromOffset(*offset);
        if (!units) {
            return std::nullopt;
        }
        return name == ax::kRangeForPosition ? AXValue::ofRange({*units, 1})
                                             : marker(AXValue::Kind::TextMarker, *units, *units);
    }
    if ((name == ax::kStringForRange && parameter.kind == AXValue::Kind::Range) ||
        (name == ax::kStringForTextMarkerRange &&
         parameter.kind == AXValue::Kind::TextMarkerRange)) {
        const auto [location, length] = parameter.range;
        if (location < 0 || length < 0) {
            return std::nullopt;
        }
        // Units and characters differ: read enough characters to cover the units.
        const auto* whole = textUpTo(location + length);
        if (whole == nullptr) {
            return std::nullopt;
        }
        const auto size = static_cast<long>(whole->size());
        const long start = std::min(location, size);
        const long end = std::min(location + length, size);
        return AXValue::ofText(
            utf8FromUtf16(std::u16string_view(*whole).substr(start, end - start)));
    }
    if (name == ax::kLeftWordTextMarkerRangeForTextMarker &&
        parameter.kind == AXValue::Kind::TextMarker) {
        const auto offset = offsetFromUnits(parameter.range.location);
        if (!offset) {
            return std::nullopt;
        }
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        const auto range = ask([&](GError** e) {
            return atspi_text_get_text_at_offset(text.iface, static_cast<gint>(*offset),
                                                 ATSPI_TEXT_BOUNDARY_WORD_START, e);
        });
        G_GNUC_END_IGNORE_DEPRECATIONS
        if (!range || *range == nullptr) {
            return std::nullopt;
        }
        const long startOffset = (*range)->start_offset;
        const long endOffset = (*range)->end_offset;
        g_free((*range)->content);
        g_free(*range);
        const auto start = unitsFromOffset(startOffset);
        const auto end = unitsFromOffset(endOffset);
        if (!start || !end || *end < *start) {
            return std::nullopt;
        }
        return marker(AXValue::Kind::TextMarkerRange, *start, *end);
    }
    return std::nullopt;
}

std::string AccessibleElementAtspi::description() const {
    const AtspiObject& object = accessible_->parent;
    return std::string("<AtspiAccessible ") +
           (object.app != nullptr && object.app->bus_name != nullptr ? object.app->bus_name : "?") +
           (object.path != nullptr ? object.path : "") + ">";
}

}  // namespace lexoria
