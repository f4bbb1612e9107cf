// The real program on the headless desktop: the window's scale on screens of different sizes,
// and the screenshot of a document that brings the size advice.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include "tests/app/viewer_fixture.h"

namespace {

struct ViewerRun {
  int exitCode = -1;  // -1: did not end in time
  QString output;     // standard output
  QString errors;     // standard error
};

// Runs the viewer headless in `device` with a screenshot to shot.png, on an offscreen screen of
// the given size, with QUILLSCOPE_SCALE set to `scale` (unset when empty).
ViewerRun runViewer(const platform::testing::DeviceSandbox& device, QSize screen, const QString& scale,
                    const QString& document = QString()) {
  const QString root = QString::fromStdString(device.root());
  const QString config = root + QStringLiteral("/screen.json");
  QFile file(config);
  file.open(QIODevice::WriteOnly);
  file.write(QStringLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": %1, "height": %2,
                               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                 .arg(screen.width())
                 .arg(screen.height())
                 .toUtf8());
  file.close();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QUILLSCOPE_DEVICE", "QUILLSCOPE_SCALE"}) {
    environment.remove(QString::fromLatin1(name));
  }
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
  if (!scale.isEmpty()) environment.insert(QStringLiteral("QUILLSCOPE_SCALE"), scale);
  QProcess process;
  process.setProcessEnvironment(environment);
  QStringList arguments{QStringLiteral("--device"), root, QStringLiteral("--screenshot"), root + QStringLiteral("/shot.png")};
  if (!document.isEmpty()) arguments << document;
  process.start(QStringLiteral(QUILLSCOPE_BINARY), arguments);
  ViewerRun run;
  if (!process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.exitCode = process.exitCode();
  run.output = QString::fromLocal8Bit(process.readAllStandardOutput());
  run.errors = QString::fromLocal8Bit(process.readAllStandardError());
  return run;
}

TEST(DesktopWindow, TheWholeDeviceScreenFitsTheScreenItOpensOn) {
  struct Case {
    QSize screen;
    QString scale;    // QUILLSCOPE_SCALE
    QSize picture;    // the device screen as drawn
    bool reported;    // the scale's value is reported as wrong
  };
  const Case cases[] = {
      {{1366, 768}, QStringLiteral("big"), {540, 720}, true},  // a laptop: 1.125, the bad value said
      {{1280, 1024}, QString(), {720, 960}, false},            // room for the usual 1.5
      {{1366, 768}, QStringLiteral("1"), {480, 640}, false},   // the variable still forces a scale
  };
  for (const Case& c : cases) {
    platform::testing::DeviceSandbox device;
    device.writeFile(u"\\Program Files\\Quillscope\\Setting.dat", settingsBytes(100, 1, 0));
    const ViewerRun run = runViewer(device, c.screen, c.scale);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString() << run.errors.toStdString();
    const QImage picture(QString::fromStdString(device.root()) + QStringLiteral("/shot.png"));
    EXPECT_EQ(picture.size(), c.picture) << c.screen.width() << "x" << c.screen.height();
    EXPECT_EQ(run.errors.contains(QStringLiteral("QUILLSCOPE_SCALE")), c.reported) << run.errors.toStdString();
  }
}

TEST(DesktopWindow, AHeadlessScreenshotAnswersTheSizeAdviceAndPicturesTheDocument) {
  platform::testing::DeviceSandbox device;
  device.writeFile(u"\\Program Files\\Quillscope\\Setting.dat", settingsBytes(100, 1, 0));
  std::string text;
  for (int line = 0; text.size() < 70 * 1024; ++line) text += "Quillscope screenshot line " + std::to_string(line) + "\r\n";
  device.writeFile(u"\\big.txt", text);
  const ViewerRun run = runViewer(device, {1280, 1024}, QStringLiteral("1"),
                                  QString::fromStdString(device.root()) + QStringLiteral("/big.txt"));
  ASSERT_EQ(run.exitCode, 0) << run.output.toStdString() << run.errors.toStdString();
  EXPECT_TRUE(run.output.contains(QStringLiteral("Quillscope can display up to 64kbyte text."))) << run.output.toStdString();
  const QImage picture(QString::fromStdString(device.root()) + QStringLiteral("/shot.png"));
  ASSERT_EQ(picture.size(), QSize(480, 640));
  // The first lines of the text, at the top of the view, well above where the advice stood.
  int dark = 0;
  for (int y = 30; y < 90; ++y) {
    for (int x = 0; x < 240; ++x) dark += picture.pixelColor(x, y).lightness() < 128 ? 1 : 0;
  }
  EXPECT_GT(dark, 200);
}

}  // namespace
