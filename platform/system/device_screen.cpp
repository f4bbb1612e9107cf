// The device screen: one desktop window that stands for the handheld's 480 x 640 screen, drawn
// deviceScale() times larger (1.5 by default, so 720 x 960 desktop pixels; QUILLSCOPE_SCALE
// may set another factor between 0.5 and 4). Its top 26 device pixels are the shell's top bar
// (the active window's title and a full-screen dialog's Done button); every top-level window
// of the program is a child widget placed at its device rectangle.
#include "platform/system/device_screen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <cmath>
#include <cstdlib>

#include "platform/system/screen_metrics.h"
#include "platform/system/window_host.h"
#include "platform/system/window_records.h"

namespace platform::widgets {
namespace {

constexpr double kDefaultScale = 1.5;

int scaled(int devicePixels) { return static_cast<int>(std::lround(devicePixels * deviceScale())); }

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
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(scaled(4), 0, scaled(2), 0);
    title_ = new QLabel(this);
    title_->setFocusPolicy(Qt::NoFocus);
    QFont titleFont = title_->font();
    titleFont.setPixelSize(scaled(13));
    titleFont.setBold(true);
    title_->setFont(titleFont);
    done_ = new QPushButton(QStringLiteral("OK"), this);
    done_->setObjectName(QStringLiteral("quillscope-done-button"));
    done_->setFocusPolicy(Qt::NoFocus);
    done_->setFixedHeight(scaled(kTopBarHeight - 4));
    done_->hide();
    layout->addWidget(title_, 1);
    layout->addWidget(done_, 0);
    QObject::connect(done_, &QPushButton::clicked, this, [this] {
      // The Done button acts as the dialog's OK button.
      if (IsWindow(doneDialog_)) SendMessage(doneDialog_, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    });
  }

  void refresh(HWND active, bool showDone) {
    const auto record = windows::findWindow(active);
    title_->setText(record ? QString::fromStdU16String(record->text) : QString());
    doneDialog_ = showDone ? active : nullptr;
    done_->setVisible(showDone);
  }

 private:
  QLabel* title_ = nullptr;         // the active window's title; owned by Qt through this widget
  QPushButton* done_ = nullptr;     // the Done button; owned by Qt through this widget
  HWND doneDialog_ = nullptr;       // the dialog that the Done button answers, if shown
};

class DeviceScreen : public QWidget {
 public:
  DeviceScreen() {
    setObjectName(QStringLiteral("quillscope-device-screen"));
    setWindowTitle(QStringLiteral("Quillscope"));
    setFixedSize(scaled(kDeviceScreenWidth), scaled(kDeviceScreenHeight));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(colours);
    setFocusPolicy(Qt::NoFocus);
    topBar_ = new TopBar(this);
    topBar_->setGeometry(0, 0, scaled(kDeviceScreenWidth), scaled(kTopBarHeight));
  }

  TopBar* topBar() const { return topBar_; }
  HWND doneDialog = nullptr;  // the dialog that asked for a Done button (SHInitDialog)

 protected:
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
  TopBar* topBar_ = nullptr;  // owned by Qt through this widget
};

DeviceScreen* screen() {
  static QPointer<DeviceScreen> instance;
  if (instance.isNull() && QApplication::instance() != nullptr) instance = new DeviceScreen();
  return instance.data();
}

}  // namespace

double deviceScale() {
  static const double scale = [] {
    const char* text = std::getenv("QUILLSCOPE_SCALE");
    if (text == nullptr || *text == 0) return kDefaultScale;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || !std::isfinite(value) || value < 0.5 || value > 4.0) return kDefaultScale;
    return value;
  }();
  return scale;
}

QWidget* deviceScreen() { return screen(); }

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
  auto* s = screen();
  if (s == nullptr || widget == nullptr) return RECT{0, 0, 0, 0};
  const QPoint topLeft = widget->mapTo(s, QPoint(0, 0));
  const double scale = deviceScale();
  const auto toDevice = [scale](int value) { return static_cast<LONG>(std::lround(value / scale)); };
  return RECT{toDevice(topLeft.x()), toDevice(topLeft.y()), toDevice(topLeft.x() + widget->width()),
              toDevice(topLeft.y() + widget->height())};
}

}  // namespace platform::widgets
