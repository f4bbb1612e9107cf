// Whole processes: the desktop launcher (device, program folder, command line, headless
// screenshot) and one viewer per device across two real processes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include "platform/testing/test_host.h"

using platform::testing::DeviceSandbox;

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
  EXPECT_EQ(image.width(), 720);  // 480 device pixels at the default scale of 1.5
  EXPECT_EQ(image.height(), 960);
  // The main window's white below the shell's dark top bar.
  EXPECT_EQ(image.pixelColor(360, 480), QColor(Qt::white));
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

}  // namespace
