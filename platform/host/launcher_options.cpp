#include "platform/host/launcher_options.h"

#include <QFileInfo>
#include <QString>

#include "platform/system/files/device_paths.h"

namespace platform::host {

LauncherOptions parseLauncherOptions(int argc, const char* const* argv) {
  LauncherOptions options;
  const auto wordAt = [&](int i) { return std::string(argv[i] != nullptr ? argv[i] : ""); };
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string word = wordAt(i);
    if (optionsEnded || word.rfind("--", 0) != 0) {
      // The first word that is not an option starts the document path.
      optionsEnded = true;
      options.words.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
    } else if (word == "--help") {
      options.help = true;
    } else if (word == "--version") {
      options.version = true;
    } else if (word == "--no-screenshot") {
      options.noScreenshot = true;
    } else if (word == "--device" || word == "--screenshot") {
      if (i + 1 >= argc) {
        options.error = word + " needs a value";
        return options;
      }
      (word == "--device" ? options.device : options.screenshot) = wordAt(++i);
    } else if (word.rfind("--device=", 0) == 0) {
      options.device = word.substr(9);
    } else if (word.rfind("--screenshot=", 0) == 0) {
      options.screenshot = word.substr(13);
    } else {
      options.error = "unknown option " + word;
      return options;
    }
  }
  return options;
}

std::u16string commandLineFor(const std::vector<std::string>& words) {
  std::string joined;
  for (const auto& word : words) joined += (joined.empty() ? "" : " ") + word;
  const QString text = QString::fromLocal8Bit(joined.c_str());
  if (text.isEmpty() || text.startsWith(QLatin1Char('\\')) || text.contains(QLatin1Char('"'))) return text.toStdU16String();
  const std::string absolute = QFileInfo(text).absoluteFilePath().toStdString();
  const std::u16string device = files::devicePathFor(absolute);
  return device.empty() ? text.toStdU16String() : device;
}

}  // namespace platform::host
