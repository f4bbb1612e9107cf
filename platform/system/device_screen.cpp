// The device screen: one desktop window that stands for the handheld's 480 x 640 screen, drawn
// deviceScale() times larger on its surface. The first scale fits the screen the window opens
// on (up to 1.5, so 720 x 960 desktop pixels where there is room; QUILLSCOPE_SCALE may force a
// factor between 0.5 and 4). The window can be resized and maximised: the surface then takes
// the largest scale that fits it, centred, and everything on it is laid out again, while the
// program keeps seeing its 480 x 640 screen. The surface's top 26 device pixels are the shell's
// top bar (the active window's title and a full-screen dialog's Done button); every top-level
// window of the program is a child widget of the surface placed at its device rectangle.
#include "platform/system/device_screen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/system/qt_units.h"
#include "platform/system/screen_metrics.h"
#include "platform/system/window_host.h"
#include "platform/system/window_records.h"
#include "platform/system/window_widgets.h"

namespace platform::widgets {
namespace {

constexpr double kLargestDefaultScale = 1.5;  // the default on a screen with room for it
constexpr double kSmallestScale = 0.5;
constexpr double kLargestScale = 4.0;
// What the desktop's frame takes around the window (title bar, borders) before the window is
// shown and its real frame is known.
constexpr int kFrameAllowanceWidth = 16;
constexpr int kFrameAllowanceHeight = 48;
// The property that keepFontScaled gives a widget: its font's size in device pixels.
constexpr const char* kFontDevicePixels = "quillscopeFontDevicePixels";

double currentScale = 0.0;  // desktop pixels per device pixel; 0 until first chosen

std::vector<std::function<void()>>& scaleObservers() {
  static std::vector<std::function<void()>> observers;  // told after every change of the scale
  return observers;
}

int scaled(int devicePixels) { return static_cast<int>(std::lround(devicePixels * deviceScale())); }

// QUILLSCOPE_SCALE: the scale it forces, if it holds one. A value that is no number from 0.5 to 4
// is reported once on standard error and forces nothing.
std::optional<double> forcedScale() {
  const char* text = std::getenv("QUILLSCOPE_SCALE");
  if (text == nullptr || *text == 0) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  const bool whole = end != text && *end == 0;
  if (whole && std::isfinite(value) && value >= kSmallestScale && value <= kLargestScale) return value;
  static bool reported = false;
  if (!reported) {
    reported = true;
    std::fprintf(stderr, "quillscope: QUILLSCOPE_SCALE=\"%s\" is not a number from 0.5 to 4; the scale fits the screen instead\n", text);
  }
  return std::nullopt;
}

// The scale the device screen starts with: the forced one, else one that fits the available
// area of the screen the window opens on (the one under the pointer, else the primary one).
double initialScale() {
  if (const auto forced = forcedScale()) return *forced;
  if (QGuiApplication::instance() == nullptr) return kLargestDefaultScale;
  QScreen* where = QGuiApplication::screenAt(QCursor::pos());
  if (where == nullptr) where = QGuiApplication::primaryScreen();
  if (where == nullptr) return kLargestDefaultScale;
  const QRect available = where->availableGeometry();
  return fittingScale(available.width(), available.height());
}

// The shell's bar along the top of the screen.
class TopBar : public QWidget {
 public:
  explicit TopBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("quillscope-top-bar"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0, 48, 120));
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setFocusPolicy(Qt::NoFocus);
    layout_ = new QHBoxLayout(this);
    title_ = new QLabel(this);
    title_->setFocusPolicy(Qt::NoFocus);
    QFont titleFont = title_->font();
    titleFont.setBold(true);
    title_->setFont(titleFont);
    done_ = new QPushButton(QStringLiteral("OK"), this);
    done_->setObjectName(QStringLiteral("quillscope-done-button"));
    done_->setFocusPolicy(Qt::NoFocus);
    done_->hide();
    layout_->addWidget(title_, 1);
    layout_->addWidget(done_, 0);
    layOut();
    QObject::connect(done_, &QPushButton::clicked, this, [this] {
      // The Done button acts as the dialog's OK button.
      if (IsWindow(doneDialog_)) SendMessage(doneDialog_, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    });
  }

  // Sizes at the current scale.
  void layOut() {
    setGeometry(0, 0, scaled(kDeviceScreenWidth), scaled(kTopBarHeight));
    layout_->setContentsMargins(scaled(4), 0, scaled(2), 0);
    QFont titleFont = title_->font();
    titleFont.setPixelSize(scaled(13));
    title_->setFont(titleFont);
    done_->setFixedHeight(scaled(kTopBarHeight - 4));
  }

  void refresh(HWND active, bool showDone) {
    const auto record = windows::findWindow(active);
    title_->setText(record ? platform::unitsToQString(record->text) : QString());
    doneDialog_ = showDone ? active : nullptr;
    done_->setVisible(showDone);
  }

 private:
  QHBoxLayout* layout_ = nullptr;   // title and Done button; owned by Qt through this widget
  QLabel* title_ = nullptr;         // the active window's title; owned by Qt through this widget
  QPushButton* done_ = nullptr;     // the Done button; owned by Qt through this widget
  HWND doneDialog_ = nullptr;       // the dialog that the Done button answers, if shown
};

class DeviceScreen : public QWidget {
 public:
  DeviceScreen() {
    setObjectName(QStringLiteral("quillscope-device-screen"));
    setWindowTitle(QStringLiteral("Quillscope"));
    // Around the surface, when the window's shape differs from the device's, the desktop's
    // dark grey shows, like the case around a handheld's screen.
    setAutoFillBackground(true);
    QPalette frame = palette();
    frame.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(frame);
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(static_cast<int>(std::ceil(kDeviceScreenWidth * kSmallestScale)),
                   static_cast<int>(std::ceil(kDeviceScreenHeight * kSmallestScale)));
    surface_ = new QWidget(this);
    surface_->setObjectName(QStringLiteral("quillscope-device-surface"));
    surface_->setAutoFillBackground(true);
    QPalette colours = surface_->palette();
    colours.setColor(QPalette::Window, QColor(224, 224, 224));
    surface_->setPalette(colours);
    surface_->setFocusPolicy(Qt::NoFocus);
    topBar_ = new TopBar(surface_);
    resize(scaled(kDeviceScreenWidth), scaled(kDeviceScreenHeight));
    placeSurface();
  }

  TopBar* topBar() const { return topBar_; }
  QWidget* surface() const { return surface_; }
  HWND doneDialog = nullptr;  // the dialog that asked for a Done button (SHInitDialog)

  // The surface at the current scale, centred in the window.
  void placeSurface() {
    const QSize size(scaled(kDeviceScreenWidth), scaled(kDeviceScreenHeight));
    surface_->setGeometry((width() - size.width()) / 2, std::max(0, (height() - size.height()) / 2), size.width(),
                          size.height());
    topBar_->layOut();
  }

 protected:
  void resizeEvent(QResizeEvent*) override {
    // The largest scale at which the whole device screen fits the window.
    const double fits = std::min(width() / static_cast<double>(kDeviceScreenWidth),
                                 height() / static_cast<double>(kDeviceScreenHeight));
    if (std::abs(fits - deviceScale()) * kDeviceScreenHeight >= 0.5) {
      setDeviceScale(fits);  // places the surface too
    } else {
      placeSurface();
    }
  }

  void closeEvent(QCloseEvent* event) override {
    // The desktop window stays; the program decides. Its enabled top-level windows are asked
    // to close (a dialog cancels, the main window's default handling destroys it).
    event->ignore();
    bool asked = false;
    const auto tops = windows::topLevelWindows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
      const auto record = windows::findWindow(*it);
      if (!record || !record->visible || !record->enabled || (record->exStyle & WS_EX_NOACTIVATE) != 0) continue;
      asked = true;
      SendMessage(*it, WM_CLOSE, 0, 0);
    }
    if (!asked && windows::topLevelWindows().empty()) PostQuitMessage(0);
  }

 private:
  QWidget* surface_ = nullptr;  // the handheld's screen; owned by Qt through this widget
  TopBar* topBar_ = nullptr;    // on the surface; owned by Qt through it
};

DeviceScreen* screen() {
  static QPointer<DeviceScreen> instance;
  if (instance.isNull() && QApplication::instance() != nullptr) instance = new DeviceScreen();
  return instance.data();
}

}  // namespace

double deviceScale() {
  if (currentScale > 0) return currentScale;
  const double chosen = initialScale();
  // Without the desktop the screen is not known yet: choose again once it is.
  if (QGuiApplication::instance() != nullptr) currentScale = chosen;
  return chosen;
}

double fittingScale(int availableWidth, int availableHeight) {
  const double across = (availableWidth - kFrameAllowanceWidth) / static_cast<double>(kDeviceScreenWidth);
  const double down = (availableHeight - kFrameAllowanceHeight) / static_cast<double>(kDeviceScreenHeight);
  // A little under the exact fit, so that rounding never pushes the bars off the screen.
  const double fits = std::floor(std::min(across, down) * 1000.0) / 1000.0;
  return std::clamp(fits, kSmallestScale, kLargestDefaultScale);
}

void setDeviceScale(double scale) {
  scale = std::clamp(scale, kSmallestScale, kLargestScale);
  if (scale == deviceScale()) return;
  currentScale = scale;
  auto* s = screen();
  if (s == nullptr) return;
  s->placeSurface();
  for (QWidget* widget : s->surface()->findChildren<QWidget*>()) {
    const QVariant devicePixels = widget->property(kFontDevicePixels);
    if (!devicePixels.isValid()) continue;
    QFont font = widget->font();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(devicePixels.toDouble() * scale))));
    widget->setFont(font);
  }
  resyncAllGeometry();
  for (const auto& observer : scaleObservers()) observer();
}

void addScaleObserver(std::function<void()> observer) { scaleObservers().push_back(std::move(observer)); }

void keepFontScaled(QWidget* widget) {
  if (widget == nullptr || widget->font().pixelSize() <= 0) return;
  widget->setProperty(kFontDevicePixels, widget->font().pixelSize() / deviceScale());
}

QWidget* deviceScreen() { return screen(); }

QWidget* deviceSurface() {
  auto* s = screen();
  return s != nullptr ? s->surface() : nullptr;
}

void showDeviceScreen() {
  if (auto* s = screen(); s != nullptr && !s->isVisible()) s->show();
}

void minimiseDeviceScreen() {
  if (auto* s = screen()) s->showMinimized();
}

bool isDeviceScreenMinimised() {
  auto* s = screen();
  return s != nullptr && s->isMinimized();
}

void bringDeviceScreenForward() {
  auto* s = screen();
  if (s == nullptr) return;
  if (s->isMinimized()) s->showNormal();
  if (!s->isVisible()) s->show();
  // Headless platforms stack no windows (and say so on every call).
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
  s->raise();
  s->activateWindow();
}

void refreshTopBar() {
  auto* s = screen();
  if (s == nullptr) return;
  const HWND active = GetActiveWindow();
  s->topBar()->refresh(active, active != nullptr && active == s->doneDialog);
  s->topBar()->raise();
}

void setDoneButton(HWND dialog, bool shown) {
  auto* s = screen();
  if (s == nullptr) return;
  if (shown) {
    s->doneDialog = dialog;
  } else if (s->doneDialog == dialog) {
    s->doneDialog = nullptr;
  }
  refreshTopBar();
}

void setDesktopTitle(LPCWSTR title) {
  if (auto* s = screen()) s->setWindowTitle(toQString(title != nullptr ? title : u""));
}

std::u16string desktopTitle() {
  auto* s = screen();
  return s != nullptr ? toU16(s->windowTitle()) : std::u16string();
}

RECT deviceRectOf(const QWidget* widget) {
  QWidget* s = deviceSurface();
  if (s == nullptr || widget == nullptr || (widget != s && !s->isAncestorOf(widget))) return RECT{0, 0, 0, 0};
  const QPoint topLeft = widget->mapTo(s, QPoint(0, 0));
  const double scale = deviceScale();
  const auto toDevice = [scale](int value) { return static_cast<LONG>(std::lround(value / scale)); };
  return RECT{toDevice(topLeft.x()), toDevice(topLeft.y()), toDevice(topLeft.x() + widget->width()),
              toDevice(topLeft.y() + widget->height())};
}

}  // namespace platform::widgets
