#include "ControlsQt.h"

#include <QAbstractTextDocumentLayout>
#include <QLayout>
#include <QScrollBar>
#include <QTextDocument>

namespace lexoria {

Rect rectOf(const QRect& rect) {
    return Rect{double(rect.x()), double(rect.y()), double(rect.width()), double(rect.height())};
}

TextViewQt::TextViewQt(QPlainTextEdit* edit, RunLoopQt& runLoop)
    : ControlQt(edit, runLoop), edit_(edit) {
    QObject::connect(edit_, &QPlainTextEdit::textChanged, edit_, [this] {
        if (!settingText_) {
            userActed();
        }
    });
}

std::string TextViewQt::string() const {
    // The raw text keeps no-break spaces, which toPlainText() turns into spaces; its
    // paragraph separators are the line feeds that were set.
    QString text = edit_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text.toStdString();
}

void TextViewQt::setString(const std::string& text) {
    settingText_ = true;
    edit_->setPlainText(QString::fromStdString(text));
    settingText_ = false;
}

std::optional<Font> TextViewQt::font() const {
    const QFont font = edit_->font();
    return Font{font.family().toStdString(), font.pointSizeF()};
}

void TextViewQt::setFont(const Font& font) {
    QFont qfont(QString::fromStdString(font.family));
    if (font.size > 0) {
        qfont.setPointSizeF(font.size);
    }
    edit_->setFont(qfont);
}

void TextViewQt::setTextColorBlack() {
    QPalette palette = edit_->palette();
    palette.setColor(QPalette::Text, Qt::black);
    edit_->setPalette(palette);
}

void TextViewQt::scrollToTop() {
    edit_->verticalScrollBar()->setValue(edit_->verticalScrollBar()->minimum());
}

ButtonQt::ButtonQt(QAbstractButton* button, RunLoopQt& runLoop)
    : ControlQt(button, runLoop), button_(button) {
    // clicked comes after a check box has taken its new state; toggled would also come
    // for setState.
    QObject::connect(button_, &QAbstractButton::clicked, button_, [this] { userActed(); });
}

PopUpButtonQt::PopUpButtonQt(QComboBox* combo, RunLoopQt& runLoop)
    : ControlQt(combo, runLoop), combo_(combo) {
    QObject::connect(combo_, &QComboBox::activated, combo_, [this] { userActed(); });
}

void PopUpButtonQt::addItemsWithTitles(const std::vector<std::string>& titles) {
    for (const std::string& title : titles) {
        combo_->addItem(QString::fromStdString(title));
    }
}

std::vector<std::string> PopUpButtonQt::itemTitles() const {
    std::vector<std::string> titles;
    titles.reserve(static_cast<std::size_t>(combo_->count()));
    for (int i = 0; i < combo_->count(); ++i) {
        titles.push_back(combo_->itemText(i).toStdString());
    }
    return titles;
}

int PopUpButtonQt::indexOf(const std::string& title) const {
    return combo_->findText(QString::fromStdString(title),
                            Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void PopUpButtonQt::selectItemWithTitle(const std::string& title) {
    combo_->setCurrentIndex(indexOf(title));
}

std::string PopUpButtonQt::titleOfSelectedItem() const {
    return combo_->currentIndex() < 0 ? std::string() : combo_->currentText().toStdString();
}

void PopUpButtonQt::setTitle(const std::string& title) {
    if (indexOf(title) < 0) {
        combo_->addItem(QString::fromStdString(title));
    }
    selectItemWithTitle(title);
}

SegmentedControlQt::SegmentedControlQt(QWidget* container, RunLoopQt& runLoop)
    : ControlQt(container, runLoop) {
    QLayout* layout = container->layout();
    for (int i = 0, id = 0; layout && i < layout->count(); ++i) {
        if (auto* button = qobject_cast<QAbstractButton*>(layout->itemAt(i)->widget())) {
            button->setCheckable(true);
            group_.addButton(button, id++);
        }
    }
    QObject::connect(&group_, &QButtonGroup::idClicked, container, [this] { userActed(); });
}

void SegmentedControlQt::setSelectedSegment(int segment) {
    if (QAbstractButton* button = group_.button(segment)) {
        button->setChecked(true);
        return;
    }
    // No such segment: none is selected, which an exclusive group does not allow.
    group_.setExclusive(false);
    for (QAbstractButton* button : group_.buttons()) {
        button->setChecked(false);
    }
    group_.setExclusive(true);
}

SliderQt::SliderQt(QSlider* slider, RunLoopQt& runLoop)
    : ControlQt(slider, runLoop), slider_(slider) {
    QObject::connect(slider_, &QSlider::sliderReleased, slider_, [this] { userActed(); });
    QObject::connect(slider_, &QSlider::actionTriggered, slider_, [this](int action) {
        // A drag ends with sliderReleased. The other actions (keys, clicks on the groove)
        // come before the value changes: act once it has.
        if (action != QAbstractSlider::SliderMove) {
            QMetaObject::invokeMethod(
                slider_, [this] { userActed(); }, Qt::QueuedConnection);
        }
    });
}

ViewQt::ViewQt(QWidget* page) : page_(page) {
    page_->ensurePolished();
    size_ = page_->sizeHint().expandedTo(page_->minimumSize());
}

PopoverQt::PopoverQt(QWidget* panel) : panel_(panel) {
    panel_->setWindowFlags(Qt::Popup);
}

void PopoverQt::showRelativeTo(const Rect& rect, const Control* view) {
    const auto* backed = dynamic_cast<const WidgetBacked*>(view);
    panel_->adjustSize();
    QPoint at;
    if (backed && backed->widget()) {
        // On the upper edge of the rectangle, centred on it.
        const QPoint top =
            backed->widget()->mapToGlobal(QPoint(int(rect.x + rect.width / 2), int(rect.y)));
        at = QPoint(top.x() - panel_->width() / 2, top.y() - panel_->height());
        if (at.y() < 0) {
            // No room above: below the rectangle.
            at.setY(top.y() + int(rect.height));
        }
    }
    panel_->move(at);
    panel_->show();
}

ToolbarQt::ToolbarQt(QToolBar* toolbar, RunLoopQt& runLoop) : toolbar_(toolbar), runLoop_(runLoop) {
    QObject::connect(toolbar_, &QToolBar::actionTriggered, toolbar_, [this](QAction* item) {
        if (action_) {
            runLoop_.deliver(
                [action = action_, tag = item->property("tag").toInt()] { action(tag); });
        }
    });
}

void ToolbarQt::removeItemAtIndex(std::size_t index) {
    const QList<QAction*> items = toolbar_->actions();
    if (index < static_cast<std::size_t>(items.size())) {
        toolbar_->removeAction(items[static_cast<qsizetype>(index)]);
    }
}

}  // namespace lexoria
