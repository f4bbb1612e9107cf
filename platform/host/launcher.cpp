// The desktop launcher: turns a desktop start into the handheld program's start. It reads the
// desktop options, picks the headless platform when there is no display, maps the device,
// creates the program folder as an installer would, makes the command line a device path,
// answers other starts of the viewer on the same device, and runs the program's entry point.
// With a screenshot requested (always when headless) it writes the device screen once the
// viewer has settled and its document is drawn, and asks the program to quit. Headless, the
// message boxes that would wait for a person (the size advice) are answered with OK first.
#include "platform/host/launcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <quillscope_version.h>

#include "platform/host/launcher_options.h"
#include "platform/host/platform_startup.h"
#include "platform/system/files/device_paths.h"
#include "platform/system/message_loop.h"
#include "platform/system/program_reset.h"
#include "platform/system/single_instance.h"
#include "platform/system/window_records.h"
#include "platform/textview/text_widget.h"

namespace platform::host {
namespace {

constexpr int64_t kSettledAfterMs = 500;   // no message handed out for this long: settled
constexpr int64_t kLongestWaitMs = 30000;  // after the first window shows (or a box was answered), never wait longer
constexpr int64_t kNoWindowWaitMs = 10000; // a program that shows nothing is pictured anyway
constexpr const char* kDefaultScreenshot = "quillscope-screenshot.png";

void printUsage(const char* program) {
  std::printf(
      "Usage: %s [--device DIR] [--screenshot FILE.png] [--] [DOCUMENT]\n"
      "  --device DIR         use DIR as the device's \"\\\" (also: QUILLSCOPE_DEVICE)\n"
      "  --screenshot FILE    once the viewer has settled, write its screen to FILE and quit\n"
      "                       (without a display this is done anyway, to %s)\n"
      "  --no-screenshot      without a display, run until the program quits (for scripts)\n"
      "  --version            show the version\n"
      "Keys: cursor keys scroll, Enter is the centre key, F1-F4 are the application keys;\n"
      "      Page Up/Down, Home/End, Ctrl+A/C/O, F10, Alt+F/T and the Menu key as on the desktop.\n"
      "QUILLSCOPE_SCALE (0.5 to 4) forces the window's scale; by default it fits the screen.\n",
      program, kDefaultScreenshot);
}

bool isHeadless() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && (std::strcmp(platform, "offscreen") == 0 || std::strcmp(platform, "minimal") == 0)) return true;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 == nullptr || *x11 == 0) && (wayland == nullptr || *wayland == 0);
}

// Watches the program settle after start-up, then writes the screenshot and asks it to quit.
// Headless, nobody can press a message box's OK: the watcher does, as a person would.
class ScreenshotWatcher {
 public:
  ScreenshotWatcher(std::string path, bool answerMessageBoxes)
      : path_(std::move(path)), answerMessageBoxes_(answerMessageBoxes) {
    timer_.setInterval(50);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    timer_.start();
    started_ = messages::elapsedMilliseconds();
  }

 private:
  void tick() {
    const int64_t now = messages::elapsedMilliseconds();
    if (done_) {
      // A desktop dialog in a loop of its own (a file dialog, a menu) is closed too, so that
      // the quit request reaches the program.
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
      return;
    }
    if (answerMessageBoxes_ && answerMessageBox()) {
      answeredAt_ = now;
      return;
    }
    if (firstShown_ < 0) {
      for (HWND hwnd : windows::topLevelWindows()) {
        if (IsWindowVisible(hwnd)) firstShown_ = now;
      }
      if (firstShown_ < 0 && now - started_ < kNoWindowWaitMs) return;
      if (firstShown_ < 0) firstShown_ = now - kLongestWaitMs;
    }
    const int64_t waitingSince = std::max(firstShown_, answeredAt_);
    const int64_t quietSince = std::max(messages::lastDispatchTime(), waitingSince);
    const bool settled = messages::queuedMessageCount() == 0 && now - quietSince >= kSettledAfterMs &&
                         textview::TextViewWidget::everyShownViewDrawn();
    if (!settled && now - waitingSince < kLongestWaitMs) return;
    done_ = true;
    const QString absolute = QFileInfo(QString::fromLocal8Bit(path_.c_str())).absoluteFilePath();
    if (writeScreenshot(absolute.toLocal8Bit().constData())) {
      std::printf("Screenshot written to %s\n", absolute.toLocal8Bit().constData());
    } else {
      std::fprintf(stderr, "Could not write the screenshot to %s\n", absolute.toLocal8Bit().constData());
    }
    std::fflush(stdout);
    PostQuitMessage(0);
  }

  // Presses OK on a message box that is up and offers it (the size advice); true if it did.
  static bool answerMessageBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return false;
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    if (ok == nullptr) return false;
    std::printf("Answered the message \"%s\" with OK\n", box->text().toLocal8Bit().constData());
    std::fflush(stdout);
    ok->click();
    return true;
  }

  std::string path_;               // where the picture goes
  bool answerMessageBoxes_;        // headless: press OK on message boxes
  QTimer timer_;                   // polls the program's state
  int64_t started_ = 0;            // when watching began
  int64_t firstShown_ = -1;        // when the first top-level window was seen shown
  int64_t answeredAt_ = -1;        // when a message box was last answered
  bool done_ = false;              // the picture was taken and the quit request posted
};

}  // namespace

int runDesktopProgram(int argc, char** argv, ProgramEntry entry, const ResourceSection* resources) {
  const char* programName = argc > 0 && argv != nullptr && argv[0] != nullptr ? argv[0] : "quillscope";
  LauncherOptions options = parseLauncherOptions(argc, argv);
  if (!options.error.empty()) {
    std::fprintf(stderr, "%s: %s\n", programName, options.error.c_str());
    printUsage(programName);
    return 2;
  }
  if (options.help) {
    printUsage(programName);
    return 0;
  }
  if (options.version) {
    std::printf("quillscope %s\n", QUILLSCOPE_VERSION);
    return 0;
  }
  if (entry == nullptr) return 0;
  const bool headless = isHeadless();
  if (headless) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (options.screenshot.empty() && !options.noScreenshot) options.screenshot = kDefaultScreenshot;
  }
  // Qt sees only the program's name: the document path must never be read as a Qt option.
  static int qtArgc = 1;
  static std::string qtProgramName;
  qtProgramName = programName;
  static char* qtArgv[2] = {nullptr, nullptr};
  qtArgv[0] = qtProgramName.data();
  QApplication application(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("Quillscope"));

  if (options.device.empty()) {
    const char* fromEnvironment = std::getenv("QUILLSCOPE_DEVICE");
    if (fromEnvironment != nullptr) options.device = fromEnvironment;
  }
  if (!options.device.empty()) {
    const QString folder = QFileInfo(QString::fromLocal8Bit(options.device.c_str())).absoluteFilePath();
    QDir().mkpath(folder);
    files::setDeviceRoot(folder.toLocal8Bit().toStdString());
  }
  const QString programFolder = QString::fromStdString(files::hostPathFor(u"\\Program Files\\Quillscope"));
  QDir().mkpath(programFolder);
  if (!options.device.empty()) {
    // Nothing of a sandboxed viewer is written outside its device: Qt's own settings (the file
    // dialog keeps its history and last folder in them) go to the program folder too.
    const QString qtSettings = programFolder + QStringLiteral("/Qt settings");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qtSettings);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, qtSettings);
  }

  initialisePlatform();
  RegisterResourceSection(programInstance(), resources);
  // A start that finds the device claimed by a running viewer goes on: the program's own
  // FindWindow finds that viewer and brings it forward. Holding the claim without a socket, this
  // viewer runs but other starts cannot reach it; they say so by waiting, this one says why.
  if (!single_instance::startListening() && single_instance::holdsClaim()) {
    std::fprintf(stderr, "%s: cannot open the socket by which other starts on this device find this viewer\n",
                 programName);
  }
  std::u16string commandLine = commandLineFor(options.words);
  std::unique_ptr<ScreenshotWatcher> watcher;
  if (!options.screenshot.empty()) watcher = std::make_unique<ScreenshotWatcher>(options.screenshot, headless);

  const int exitCode = entry(programInstance(), nullptr, commandLine.data(), SW_SHOWNORMAL);

  watcher.reset();
  reset::resetProgramState();
  single_instance::stopListening();
  return exitCode;
}

}  // namespace platform::host
