#include "InterfaceLoaderQt.h"

#include <QApplication>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QWindow>

#include "ui_MainWindow.h"
#include "ui_Preferences.h"
#include "ui_SettingsPopover.h"
#include "ui_TranslatePopover.h"

namespace lexoria {

namespace {

// Lets the user move the borderless main window by its background.
class WindowMover final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::MouseButtonPress && window && window->windowHandle() &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            window->windowHandle()->startSystemMove();
            return true;
        }
        return false;
    }
};

// The style of the desktop, with the toolbar's overflow arrows drawn rather than read
// from Qt's image files. Qt reads an image by asking every installed image plugin first
// whether it knows the format, which loads them all (a millisecond and more of every
// start, for an arrow the preferences toolbar shows only when it is narrowed).
class DrawnToolbarArrows final : public QProxyStyle {
  public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton) {
            return arrow(PE_IndicatorArrowRight);
        }
        if (which == SP_ToolBarVerticalExtensionButton) {
            return arrow(PE_IndicatorArrowDown);
        }
        return QProxyStyle::standardIcon(which, option, widget);
    }

  private:
    QIcon arrow(PrimitiveElement direction) const {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        QStyleOption option;
        option.rect = pixmap.rect();
        option.palette = QApplication::palette();
        option.state = State_Enabled;
        drawPrimitive(direction, &option, &painter);
        return QIcon(pixmap);
    }
};

// A PNG read as one, without the question to every image plugin.
QPixmap readPng(const std::filesystem::path& path) {
    QImageReader reader(QString::fromStdString(path.string()), "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

}  // namespace

InterfaceLoaderQt::InterfaceLoaderQt(RunLoopQt& runLoop, const Bundle& bundle)
    : main_(std::make_unique<QWidget>()),
      preferences_(std::make_unique<QMainWindow>()),
      settings_(std::make_unique<QWidget>()),
      translate_(std::make_unique<QWidget>()),
      mover_(std::make_unique<WindowMover>()) {
    if (!dynamic_cast<DrawnToolbarArrows*>(QApplication::style())) {
        QApplication::setStyle(new DrawnToolbarArrows);
    }
    Ui::MainWindow mainUi;
    mainUi.setupUi(main_.get());
    Ui::Preferences preferencesUi;
    preferencesUi.setupUi(preferences_.get());
    Ui::SettingsPopover settingsUi;
    settingsUi.setupUi(settings_.get());
    Ui::TranslatePopover translateUi;
    translateUi.setupUi(translate_.get());
    main_->installEventFilter(mover_.get());

    if (const auto image = bundle.pathForResource("powr", "png")) {
        mainUi.closeView->setPattern(readPng(*image));
    }

    Interface& ui = interface_;
    ui.window = make<WindowQt>(main_.get());
    ui.hudtextView = make<TextViewQt>(mainUi.hudtextView, runLoop);
    ui.consoleTabTranslate = make<TextViewQt>(mainUi.consoleTabTranslate, runLoop);
    ui.serviceSegment = make<SegmentedControlQt>(mainUi.serviceSegment, runLoop);
    ui.menuSegment = make<SegmentedControlQt>(mainUi.menuSegment, runLoop);
    ui.leftLanButton = make<PopUpButtonQt>(mainUi.leftLanButton, runLoop);
    ui.rightLanButton = make<PopUpButtonQt>(mainUi.rightLanButton, runLoop);
    ui.reloadBut = make<ButtonQt>(mainUi.reloadBut, runLoop);
    ui.closeView = make<CloseViewQt>(mainUi.closeView, runLoop);
    ui.settingsPopoverButton = make<ButtonQt>(mainUi.settingsPopoverButton, runLoop);
    ui.translatePopoverButton = make<ButtonQt>(mainUi.translatePopoverButton, runLoop);

    ui.translatePopover = make<PopoverQt>(translate_.get());
    ui.copyResultButton = make<ButtonQt>(translateUi.copyResultButton, runLoop);
    ui.eraseSourceButton = make<ButtonQt>(translateUi.eraseSourceButton, runLoop);

    ui.popover = make<PopoverQt>(settings_.get());
    ui.autoDetectLang = make<ButtonQt>(settingsUi.autoDetectLang, runLoop);
    ui.autoClipboardTranslateBox = make<ButtonQt>(settingsUi.autoClipboardTranslateBox, runLoop);
    ui.preferencesButton = make<ButtonQt>(settingsUi.preferencesButton, runLoop);
    ui.quitButton = make<ButtonQt>(settingsUi.quitButton, runLoop);

    ui.prefPane = make<WindowQt>(preferences_.get());
    ui.toolbar = make<ToolbarQt>(preferencesUi.toolbar, runLoop);
    ui.generalView = make<ViewQt>(preferencesUi.generalView);
    ui.infoView = make<ViewQt>(preferencesUi.infoView);
    ui.reviewersView = make<ViewQt>(preferencesUi.reviewersView);
    ui.reviewTView = make<TextViewQt>(preferencesUi.reviewTView, runLoop);
    ui.lblIcon = make<ButtonQt>(preferencesUi.lblIcon, runLoop);
    ui.wordBox = make<ButtonQt>(preferencesUi.wordBox, runLoop);
    ui.ctrlBox = make<ButtonQt>(preferencesUi.ctrlBox, runLoop);
    ui.choiseShortcuts = make<PopUpButtonQt>(preferencesUi.choiseShortcuts, runLoop);
    ui.hoverTranslate = make<PopUpButtonQt>(preferencesUi.hoverTranslate, runLoop);
    ui.slider = make<SliderQt>(preferencesUi.slider, runLoop);
    ui.allFontStyleButFirst = make<PopUpButtonQt>(preferencesUi.allFontStyleButFirst, runLoop);
    ui.labelFont = make<TextFieldQt>(preferencesUi.labelFont, runLoop);
    ui.labelFontSize = make<TextFieldQt>(preferencesUi.labelFontSize, runLoop);
    ui.butMail = make<ButtonQt>(preferencesUi.butMail, runLoop);
    ui.butItWork = make<ButtonQt>(preferencesUi.butItWork, runLoop);
    ui.guideBtn = make<ButtonQt>(preferencesUi.guideBtn, runLoop);
    ui.popclipBtn = make<ButtonQt>(preferencesUi.popclipBtn, runLoop);
}

// The adapters go before the widgets they point at.
InterfaceLoaderQt::~InterfaceLoaderQt() {
    owned_.clear();
}

Interface InterfaceLoaderQt::loadInterface() {
    return interface_;
}

}  // namespace lexoria
