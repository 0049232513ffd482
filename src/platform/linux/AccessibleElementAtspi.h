#pragma once

#include <optional>
#include <string>

#include "ports/Accessibility.h"

// libatspi's own name, declared here to keep GLib out of the header.
typedef struct _AtspiAccessible AtspiAccessible;  // NOLINT(bugprone-reserved-identifier)

namespace lexoria {

// How a program counts positions in its texts over AT-SPI.
enum class TextOffsets {
    Characters,  // GTK, and what AT-SPI itself prescribes
    Utf16Units,  // Qt
};

// An element of another program, reached over AT-SPI. Text positions are turned into the
// UTF-16 units the capture code counts in.
class AccessibleElementAtspi final : public AccessibleElement {
  public:
    // Takes its own reference to `accessible`.
    AccessibleElementAtspi(AtspiAccessible* accessible, TextOffsets offsets);
    ~AccessibleElementAtspi() override;
    AccessibleElementAtspi(const AccessibleElementAtspi&) = delete;
    AccessibleElementAtspi& operator=(const AccessibleElementAtspi&) = delete;

    bool equals(const AccessibleElement& other) const override;
    std::optional<int32_t> processIdentifier() const override;
    std::optional<std::vector<std::string>> attributeNames() const override;
    std::optional<AXValue> copyAttributeValue(const std::string& name) const override;
    std::optional<long> attributeValueCount(const std::string& name) const override;
    std::optional<bool> isAttributeSettable(const std::string& name) const override;
    std::optional<std::vector<std::string>> actionNames() const override;
    std::optional<std::string> actionDescription(const std::string& action) const override;
    void performAction(const std::string& action) override;
    std::optional<std::vector<std::string>> parameterizedAttributeNames() const override;
    std::optional<AXValue> copyParameterizedAttributeValue(const std::string& name,
                                                           const AXValue& parameter) const override;
    std::string description() const override;

  private:
    bool isApplication() const;
    std::shared_ptr<AccessibleElement> wrap(AtspiAccessible* accessible) const;
    // The text from its start up to at least `units` UTF-16 units (less at its end).
    const std::u16string* textUpTo(long units) const;
    // A position of the program's in UTF-16 units, and back.
    std::optional<long> unitsFromOffset(long offset) const;
    std::optional<long> offsetFromUnits(long units) const;

    AtspiAccessible* accessible_;
    TextOffsets offsets_;
    // The beginning of the element's text, read once per element and grown on demand:
    // positions in characters need the text before them to become UTF-16 units.
    mutable std::u16string text_;
    mutable long textOffsetsRead_ = -1;
    mutable bool textComplete_ = false;
};

}  // namespace lexoria
