// Parsing the command line of quillscope-decode.
#include "convert/tool/command_line.h"

#include <charconv>

#include "convert/encoding_catalogue.h"

namespace {

// The catalogue names are ASCII, so they compare unit for byte.
bool isCatalogueName(const char16_t* name, const std::string& text) {
  size_t i = 0;
  for (; name[i] != 0; ++i) {
    if (i >= text.size() || static_cast<unsigned char>(text[i]) != name[i]) return false;
  }
  return i == text.size();
}

}  // namespace

bool parseEncoding(const std::string& text, uint32_t& encoding) {
  int64_t number = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, number);
  if (!text.empty() && error == std::errc() && end == last) {
    if (number < INT32_MIN || number > static_cast<int64_t>(UINT32_MAX)) return false;
    encoding = static_cast<uint32_t>(number);
    return true;
  }
  for (int index = 0; index < kEncodingCount; ++index) {
    if (isCatalogueName(encodingName(index), text)) {
      encoding = static_cast<uint32_t>(index);
      return true;
    }
  }
  return false;
}

CommandLineError parseCommandLine(int argc, const char* const* argv, DecodeCommand& command, std::string& message) {
  bool pathSeen = false;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      std::string encodingText;
      if (argument == "--") {
        optionsEnded = true;
        continue;
      } else if (argument == "--help" || argument == "-h") {
        command.action = DecodeCommand::Action::kHelp;
        return CommandLineError::kNone;
      } else if (argument == "--version") {
        command.action = DecodeCommand::Action::kVersion;
        return CommandLineError::kNone;
      } else if (argument == "--list") {
        command.action = DecodeCommand::Action::kList;
        continue;
      } else if (argument == "--rich") {
        command.action = DecodeCommand::Action::kRich;
        continue;
      } else if (argument == "--utf16") {
        command.utf16 = true;
        continue;
      } else if (argument == "--encoding" || argument == "-e") {
        if (i + 1 >= argc) {
          message = argument + " needs a value: an EncodingIndex or a catalogue name";
          return CommandLineError::kUsage;
        }
        encodingText = argv[++i];
      } else if (argument.rfind("--encoding=", 0) == 0) {
        encodingText = argument.substr(11);
      } else {
        message = "unknown option " + argument;
        return CommandLineError::kUsage;
      }
      if (!parseEncoding(encodingText, command.encoding)) {
        message = "unknown encoding \"" + encodingText + "\" (see --list; numbers are 32-bit EncodingIndexes)";
        return CommandLineError::kUnknownEncoding;
      }
      continue;
    }
    if (pathSeen) {
      message = "only one FILE can be decoded at a time";
      return CommandLineError::kUsage;
    }
    command.path = argument;
    pathSeen = true;
  }
  if (command.action == DecodeCommand::Action::kDecode && !pathSeen) {
    message = "no FILE given";
    return CommandLineError::kUsage;
  }
  return CommandLineError::kNone;
}
