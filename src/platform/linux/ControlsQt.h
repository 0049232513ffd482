#pragma once

// Thin adapters from the controls of the interface files to the control ports. Each one
// runs its action only for what the user did: Qt's change signals also fire when the
// program sets a value, so the adapters listen to activated, clicked, sliderReleased,
// actionTriggered and idClicked instead.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSlider>
#include <QToolBar>
#include <functional>

#include "RunLoopQt.h"
#include "ports/Controls.h"

namespace lexoria {

// Every adapter knows its widget, so popovers can find where to open.
class WidgetBacked {
  public:
    virtual ~WidgetBacked() = default;
    virtual QWidget* widget() const = 0;
};

Rect rectOf(const QRect& rect);

// What all controls share: the tag from the interface file's "tag" property, visibility
// and bounds, and one action delivered through the run loop.
template <typename Port>
class ControlQt : public Port, public WidgetBacked {
  public:
    ControlQt(QWidget* widget, RunLoopQt& runLoop) : widget_(widget), runLoop_(runLoop) {}
    QWidget* widget() const override { return widget_; }
    int tag() const override { return widget_->property("tag").toInt(); }
    bool isHidden() const override { return widget_->isHidden(); }
    void setHidden(bool hidden) override { widget_->setHidden(hidden); }
    Rect bounds() const override { return rectOf(widget_->rect()); }
    void setAction(std::function<void()> action) override { action_ = std::move(action); }

  protected:
    // The user acted on the control.
    void userActed() {
        if (action_) {
            runLoop_.deliver([action = action_] { action(); });
        }
    }
    QWidget* widget_;
    RunLoopQt& runLoop_;

  private:
    std::function<void()> action_;
};

class TextViewQt final : public ControlQt<TextView> {
  public:
    TextViewQt(QPlainTextEdit* edit, RunLoopQt& runLoop);
    std::string string() const override;
    void setString(const std::string& text) override;
    std::optional<Font> font() const override;
    void setFont(const Font& font) override;
    void setTextColorBlack() override;
    void scrollToTop() override;

  private:
    QPlainTextEdit* edit_;
    bool settingText_ = false;
};

class TextFieldQt final : public ControlQt<TextField> {
  public:
    TextFieldQt(QLabel* label, RunLoopQt& runLoop) : ControlQt(label, runLoop), label_(label) {}
    std::string stringValue() const override { return label_->text().toStdString(); }
    void setStringValue(const std::string& text) override {
        label_->setText(QString::fromStdString(text));
    }

  private:
    QLabel* label_;
};

// Push buttons and check boxes.
class ButtonQt final : public ControlQt<Button> {
  public:
    ButtonQt(QAbstractButton* button, RunLoopQt& runLoop);
    std::string title() const override { return button_->text().toStdString(); }
    void setTitle(const std::string& title) override {
        button_->setText(QString::fromStdString(title));
    }
    int state() const override { return button_->isChecked() ? 1 : 0; }
    void setState(int state) override { button_->setChecked(state != 0); }

  private:
    QAbstractButton* button_;
};

class PopUpButtonQt final : public ControlQt<PopUpButton> {
  public:
    PopUpButtonQt(QComboBox* combo, RunLoopQt& runLoop);
    void removeAllItems() override { combo_->clear(); }
    void addItemsWithTitles(const std::vector<std::string>& titles) override;
    std::vector<std::string> itemTitles() const override;
    void selectItemWithTitle(const std::string& title) override;
    std::string titleOfSelectedItem() const override;
    void setTitle(const std::string& title) override;

  private:
    int indexOf(const std::string& title) const;
    QComboBox* combo_;
};

// The buttons inside `container`, in layout order, as segments 0, 1, ...
class SegmentedControlQt final : public ControlQt<SegmentedControl> {
  public:
    SegmentedControlQt(QWidget* container, RunLoopQt& runLoop);
    int selectedSegment() const override { return group_.checkedId(); }
    void setSelectedSegment(int segment) override;

  private:
    QButtonGroup group_;
};

class SliderQt final : public ControlQt<SliderControl> {
  public:
    SliderQt(QSlider* slider, RunLoopQt& runLoop);
    int integerValue() const override { return slider_->value(); }
    void setIntegerValue(int value) override { slider_->setValue(value); }

  private:
    QSlider* slider_;
};

// A view of its own that a window shows as its whole content.
class ViewQt final : public View, public WidgetBacked {
  public:
    explicit ViewQt(QWidget* page);
    QWidget* widget() const override { return page_; }
    std::string identifier() const override { return page_->objectName().toStdString(); }
    Rect frame() const override {
        return Rect{0, 0, double(size_.width()), double(size_.height())};
    }

  private:
    QWidget* page_;
    QSize size_;
};

// A pop-up panel that closes when the user clicks elsewhere.
class PopoverQt final : public Popover {
  public:
    explicit PopoverQt(QWidget* panel);
    bool isShown() const override { return panel_->isVisible(); }
    void showRelativeTo(const Rect& rect, const Control* view) override;
    void close() override { panel_->hide(); }

  private:
    QWidget* panel_;
};

class ToolbarQt final : public Toolbar {
  public:
    ToolbarQt(QToolBar* toolbar, RunLoopQt& runLoop);
    std::size_t itemCount() const override { return toolbar_->actions().size(); }
    void removeItemAtIndex(std::size_t index) override;
    void setAction(std::function<void(int tag)> action) override { action_ = std::move(action); }

  private:
    QToolBar* toolbar_;
    RunLoopQt& runLoop_;
    std::function<void(int)> action_;
};

}  // namespace lexoria
