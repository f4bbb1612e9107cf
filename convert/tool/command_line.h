// The command line of quillscope-decode: options, the file and the chosen EncodingIndex.
#pragma once

#include <cstdint>
#include <string>

// What the command line asks for.
struct DecodeCommand {
  enum class Action { kDecode, kHelp, kList, kRich, kVersion };
  Action action = Action::kDecode;  // what to do
  uint32_t encoding = 0;            // EncodingIndex, taken as unsigned as the viewer takes it
  bool utf16 = false;               // write the raw little-endian UTF-16 units, not UTF-8
  std::string path;                 // the file to decode (kDecode and kRich)
};

// Why a command line was refused; kNone when it was accepted.
enum class CommandLineError { kNone, kUsage, kUnknownEncoding };

// Reads argv[1..argc). On an error, `message` says what is wrong.
CommandLineError parseCommandLine(int argc, const char* const* argv, DecodeCommand& command, std::string& message);

// An EncodingIndex from a decimal number (negative numbers wrap as 32-bit values, as the
// viewer reads a settings file) or from a catalogue display name, matched exactly.
bool parseEncoding(const std::string& text, uint32_t& encoding);
