// Whole processes: the desktop launcher (device, program folder, command line, headless
// screenshot) and one viewer per device across two real processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include "platform/testing/test_host.h"

using platform::testing::DeviceSandbox;

extern char** environ;

namespace {

QProcessEnvironment headlessEnvironment() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DISPLAY"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.remove(QStringLiteral("QUILLSCOPE_SCALE"));
  environment.remove(QStringLiteral("QUILLSCOPE_DEVICE"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return environment;
}

struct ProbeRun {
  int exitCode = -1;  // the process's exit code (-1: did not finish)
  QString output;     // what it printed
};

ProbeRun runProbe(const QStringList& arguments, const QString& workingDirectory = QString()) {
  QProcess process;
  process.setProcessEnvironment(headlessEnvironment());
  if (!workingDirectory.isEmpty()) process.setWorkingDirectory(workingDirectory);
  process.start(QStringLiteral(QUILL_PLATFORM_PROBE), arguments);
  ProbeRun run;
  if (!process.waitForFinished(30000)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.output = QString::fromUtf8(process.readAllStandardOutput());
  return run;
}

class ProcessTest : public ::testing::Test {
 protected:
  DeviceSandbox sandbox_;
};

TEST_F(ProcessTest, TheLauncherMapsTheDeviceAndTheCommandLineAndPicturesTheSettledScreen) {
  const QString device = QString::fromStdString(sandbox_.root());
  sandbox_.writeFile(u"\\docs\\book.txt", "text");
  const QString screenshot = device + QStringLiteral("/shot.png");
  const ProbeRun run = runProbe({QStringLiteral("launch"), QStringLiteral("--device"), device, QStringLiteral("--screenshot"),
                            screenshot, QStringLiteral("book.txt")},
                           device + QStringLiteral("/docs"));
  ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
  EXPECT_TRUE(run.output.contains(QStringLiteral("command line: \\docs\\book.txt\n"))) << run.output.toStdString();
  EXPECT_TRUE(run.output.contains(QStringLiteral("Screenshot written to ") + screenshot)) << run.output.toStdString();
  EXPECT_TRUE(QFileInfo(device + QStringLiteral("/Program Files/Quillscope")).isDir());
  const QImage image(screenshot);
  ASSERT_FALSE(image.isNull());
  // The device screen at the scale that fits the test desktop's screen.
  EXPECT_EQ(image.width() * 4, image.height() * 3);
  EXPECT_GE(image.width(), 240);
  // The main window's white below the shell's dark top bar.
  EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), QColor(Qt::white));
  const QColor bar = image.pixelColor(5, 5);
  EXPECT_LT(bar.red(), 64);
  EXPECT_GT(bar.blue(), bar.red());
}

TEST_F(ProcessTest, HeadlessStartsPictureTheScreenByDefaultAndKeepQuotedCommandLines) {
  const QString device = QString::fromStdString(sandbox_.root());
  const ProbeRun run = runProbe({QStringLiteral("launch"), QStringLiteral("--device"), device, QStringLiteral("\"a b.txt\"")},
                           device);
  ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
  EXPECT_TRUE(run.output.contains(QStringLiteral("command line: \"a b.txt\"\n"))) << run.output.toStdString();
  EXPECT_TRUE(QFileInfo(device + QStringLiteral("/quillscope-screenshot.png")).isFile());
  const ProbeRun help = runProbe({QStringLiteral("launch"), QStringLiteral("--help")});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.output.contains(QStringLiteral("--screenshot")));
  EXPECT_EQ(runProbe({QStringLiteral("launch"), QStringLiteral("--device")}).exitCode, 2);
}

TEST_F(ProcessTest, ASecondStartFindsTheFirstViewerOfTheDeviceAndBringsItForward) {
  const QString device = QString::fromStdString(sandbox_.root());
  EXPECT_EQ(runProbe({QStringLiteral("second"), device}).exitCode, 2);  // nobody there yet

  QProcess first;
  first.setProcessEnvironment(headlessEnvironment());
  first.start(QStringLiteral(QUILL_PLATFORM_PROBE), {QStringLiteral("first"), device});
  ASSERT_TRUE(first.waitForStarted(10000));
  QByteArray firstOutput;
  while (!firstOutput.contains("ready\n") && first.waitForReadyRead(15000)) firstOutput += first.readAllStandardOutput();
  ASSERT_TRUE(firstOutput.contains("ready\n")) << firstOutput.toStdString();

  // Another device is another viewer's business.
  DeviceSandbox otherDevice;
  EXPECT_EQ(runProbe({QStringLiteral("second"), QString::fromStdString(otherDevice.root())}).exitCode, 2);

  EXPECT_EQ(runProbe({QStringLiteral("second"), device}).exitCode, 0);
  ASSERT_TRUE(first.waitForFinished(15000));
  firstOutput += first.readAllStandardOutput();
  EXPECT_TRUE(firstOutput.contains("raised\n")) << firstOutput.toStdString();
  EXPECT_EQ(first.exitCode(), 0);
}

// Ten starts of the launcher on one device at once, twenty times over: every time exactly one
// becomes the viewer and the nine others find it and end, whether they come before its socket,
// while its window is being created or after. The viewer of each round is killed without
// cleaning up, so every later round also takes over a dead viewer's socket.
TEST_F(ProcessTest, TenStartsAtOnceLeaveExactlyOneViewer) {
  constexpr int kStarts = 10;
  constexpr int kRounds = 20;
  const std::string device = sandbox_.root();
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const auto dropped = {"DISPLAY=", "WAYLAND_DISPLAY=", "QUILLSCOPE_DEVICE=", "QT_QPA_PLATFORM="};
    if (std::none_of(dropped.begin(), dropped.end(), [&](const char* name) { return text.rfind(name, 0) == 0; })) {
      environment.push_back(text);
    }
  }
  environment.push_back("QT_QPA_PLATFORM=offscreen");
  environment.push_back("QUILL_PROBE_CREATE_MS=300");
  std::vector<char*> envp;
  for (std::string& text : environment) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::string probe = QUILL_PLATFORM_PROBE;
  std::string launch = "launch";
  std::string deviceOption = "--device";
  std::string deviceFolder = device;
  std::string noScreenshot = "--no-screenshot";
  char* argv[] = {probe.data(), launch.data(), deviceOption.data(), deviceFolder.data(), noScreenshot.data(), nullptr};

  int roundsPassed = 0;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<pid_t> running;
    for (int i = 0; i < kStarts; ++i) {
      pid_t pid = -1;
      ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv, envp.data()), 0);
      running.push_back(pid);
    }
    int endedCleanly = 0;
    int endedOtherwise = 0;
    const auto reap = [&] {
      std::erase_if(running, [&](pid_t pid) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) != pid) return false;
        ++(WIFEXITED(status) && WEXITSTATUS(status) == 0 ? endedCleanly : endedOtherwise);
        return true;
      });
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    while (running.size() > 1 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      reap();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // a late second viewer would still be here
    reap();
    const bool passed = running.size() == 1 && endedCleanly == kStarts - 1 && endedOtherwise == 0;
    EXPECT_TRUE(passed) << "round " << round << ": " << running.size() << " running, " << endedCleanly
                        << " ended with 0, " << endedOtherwise << " ended otherwise";
    for (pid_t pid : running) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (!passed) break;
    ++roundsPassed;
  }
  EXPECT_EQ(roundsPassed, kRounds);
}

}  // namespace
