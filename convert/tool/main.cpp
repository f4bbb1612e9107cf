// quillscope-decode: decodes a file exactly as the viewer's decode step does for an
// EncodingIndex, and writes the text to standard output as UTF-8 or raw UTF-16.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <quillscope_version.h>

#include "convert/decode_text.h"
#include "convert/encoding_catalogue.h"
#include "convert/tool/command_line.h"
#include "convert/tool/document_file.h"
#include "convert/tool/piece_decode.h"
#include "convert/tool/text_output.h"
#ifdef QUILL_DECODE_RICH
#include "platform/textview/readers/rich_text_export.h"
#endif

namespace {

// Exit codes, as --help lists them.
enum ExitCode : int {
  kSuccess = 0,
  kUsageError = 1,
  kMissingFile = 2,
  kUnreadableFile = 3,
  kUnknownEncoding = 4,
  kOutOfMemory = 5,
  kOutputFailed = 6,
  kPasswordProtected = 7,
  kNotReadableWord = 8,
};

constexpr const char* kHelp =
    "Usage: quillscope-decode [--encoding N|NAME] [--utf16] FILE\n"
    "       quillscope-decode --rich FILE\n"
    "       quillscope-decode --list | --help | --version\n"
    "\n"
    "Decodes FILE exactly as the Quillscope viewer does for an EncodingIndex and writes the\n"
    "text to standard output.\n"
    "\n"
    "  -e, --encoding N|NAME  the EncodingIndex: a number (default 0), or a display name from\n"
    "                         --list, matched exactly (quote it: --encoding \"Japanese (EUC)\").\n"
    "                         Numbers are taken as unsigned 32-bit values like the viewer's\n"
    "                         settings; any index above 19 (or a negative one) copies the bytes\n"
    "                         as little-endian UTF-16 pairs.\n"
    "      --utf16            write the UTF-16 code units the decoder wrote, little-endian,\n"
    "                         without a byte-order mark and without the ending zero unit\n"
    "      --list             list the catalogue: index, display name, font character set\n"
    "      --rich             read FILE as the text view does (Word 97-2003, RTF, Pocket Word,\n"
    "                         HTML or text, chosen by its content) and write its text as UTF-8:\n"
    "                         one line per paragraph, a table row as one line with TAB between\n"
    "                         its cells; no pictures, no hidden text, field results only, note\n"
    "                         citations as their numbers. --encoding and --utf16 do not apply.\n"
    "  -h, --help             show this help\n"
    "      --version          show the version\n"
    "\n"
    "Output: every unit the decoder wrote before its ending zero unit, embedded zero units\n"
    "included (the viewer itself shows the text only up to the first zero unit). As UTF-8,\n"
    "a surrogate pair becomes one four-byte sequence, an unpaired surrogate is written as\n"
    "U+FFFD, and 0xFFFF (what the decoders give for an unassigned code) is written as its\n"
    "three-byte form EF BF BF, so it stays visible. A Palm DOC encoding (18, 19) whose header\n"
    "test fails decodes nothing: the output is empty, as the viewer's text is.\n"
    "\n"
    "Exit codes: 0 success, 1 usage error, 2 FILE does not exist, 3 FILE cannot be read\n"
    "(a directory, no permission, an I/O error, or 2 GiB and larger), 4 unknown encoding,\n"
    "5 not enough memory, 6 writing the output failed; with --rich also 7 the Word file is\n"
    "password-protected and 8 the Compound File holds no Word document the readers show\n"
    "(Word 6/95, or another program's file): nothing on standard output, the viewer's notice on\n"
    "standard error.\n";

void printList() {
  std::printf("%-5s  %-26s  %s\n", "index", "name", "charset");
  int index = 0;
  for (const EncodingRow& row : kEncodingCatalogue) {
    std::string name;
    for (const char16_t* unit = row.name; *unit != 0; ++unit) name += static_cast<char>(*unit);
    std::printf("%5d  %-26s  %u\n", index++, name.c_str(), static_cast<unsigned>(row.charset));
  }
}

// Bytes read per piece: the piece, its UTF-16 text and its UTF-8 bytes (some 768 KiB in all)
// stay in the second-level cache of most processors.
constexpr size_t kPieceBytes = size_t{128} << 10;

bool isPalmDocRow(uint32_t encoding) {
  const EncodingRow* row = encodingRow(encoding);
  return row != nullptr && row->room == TextRoom::kPalmDocBook;
}

int fail(int code, const std::string& message) {
  std::fprintf(stderr, "quillscope-decode: %s\n", message.c_str());
  return code;
}

#ifdef QUILL_DECODE_RICH_PROGRAM
// Runs the same command line in the program with the document readers, found in this program's
// own folder or in the installed libexec folder. Returns only when neither could be started.
int runRichProgram(char** argv) {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return fail(kUsageError, "--rich: cannot find this program's folder");
  const std::string own(self, static_cast<size_t>(length));
  const std::string folder = own.substr(0, own.rfind('/') + 1);
  int error = ENOENT;
  for (const std::string& candidate : {folder + QUILL_DECODE_RICH_PROGRAM,
                                       folder + QUILL_DECODE_RICH_INSTALLED "/" QUILL_DECODE_RICH_PROGRAM}) {
    execv(candidate.c_str(), argv);
    if (errno != ENOENT) error = errno;
  }
  return fail(kUsageError, std::string("--rich: cannot start " QUILL_DECODE_RICH_PROGRAM ", which reads documents: ") +
                               std::strerror(error));
}
#endif

}  // namespace

int main(int argc, char** argv) {
  DecodeCommand command;
  std::string message;
  switch (parseCommandLine(argc, argv, command, message)) {
    case CommandLineError::kNone:
      break;
    case CommandLineError::kUsage:
      return fail(kUsageError, message + "\nTry 'quillscope-decode --help'.");
    case CommandLineError::kUnknownEncoding:
      return fail(kUnknownEncoding, message);
  }
  if (command.action == DecodeCommand::Action::kVersion) {
    std::puts("quillscope-decode " QUILLSCOPE_VERSION);
    return kSuccess;
  }
  if (command.action == DecodeCommand::Action::kHelp) {
    std::fputs(kHelp, stdout);
    return kSuccess;
  }
  if (command.action == DecodeCommand::Action::kList) {
    printList();
    return std::fflush(stdout) == 0 ? kSuccess : fail(kOutputFailed, "could not write the list");
  }

#ifdef QUILL_DECODE_RICH_PROGRAM
  if (command.action == DecodeCommand::Action::kRich) return runRichProgram(argv);
#endif

  DocumentFile file;
  LoadedDocument document;
  LoadResult loaded = openDocumentFile(command.path, file, message);
  // A regular file is decoded in pieces where its encoding allows; the rest is read whole.
  TextOutput output(stdout, !command.utf16);
  if (loaded == LoadResult::kLoaded && file.regular && command.action == DecodeCommand::Action::kDecode) {
    switch (decodeInPieces(file.fd, file.size, command.encoding, kPieceBytes, output)) {
      case PieceResult::kDone:
        return output.finish() ? kSuccess : fail(kOutputFailed, "writing the output failed");
      case PieceResult::kNotCuttable:
        break;
      case PieceResult::kReadError: {
        const int error = errno;  // before the flush can change it
        output.finish();
        return fail(kUnreadableFile, command.path + ": " + std::strerror(error));
      }
      case PieceResult::kNoMemory:
        return fail(kOutOfMemory, command.path + ": not enough memory to decode it");
    }
  }
  if (loaded == LoadResult::kLoaded) loaded = loadDocumentFile(command.path, file, document, message);
  switch (loaded) {
    case LoadResult::kLoaded:
      break;
    case LoadResult::kMissing:
      return fail(kMissingFile, message);
    case LoadResult::kUnreadable:
    case LoadResult::kTooLarge:
      return fail(kUnreadableFile, message);
    case LoadResult::kNoMemory:
      return fail(kOutOfMemory, message);
  }

  if (command.action == DecodeCommand::Action::kRich) {
#ifdef QUILL_DECODE_RICH
    const platform::textview::RichTextExport rich =
        platform::textview::exportRichText(document.bytes.data, static_cast<size_t>(document.byteCount));
    using Outcome = platform::textview::RichTextExport::Outcome;
    if (rich.outcome != Outcome::kText) {
      return fail(rich.outcome == Outcome::kPasswordProtected ? kPasswordProtected : kNotReadableWord, rich.notice);
    }
    const bool richWritten = std::fwrite(rich.text.data(), 1, rich.text.size(), stdout) == rich.text.size() &&
                             std::fflush(stdout) == 0;
    return richWritten ? kSuccess : fail(kOutputFailed, "writing the output failed");
#else
    return fail(kUsageError, "--rich: this build has no document readers (the platform folder was not built)");
#endif
  }

  // A Palm DOC book is converted in pieces once it is decompressed.
  switch (decodeBookInPieces(document.bytes.data, document.byteCount, command.encoding, kPieceBytes, output)) {
    case PieceResult::kDone:
      return output.finish() ? kSuccess : fail(kOutputFailed, "writing the output failed");
    case PieceResult::kNoMemory:
      return fail(kOutOfMemory, command.path + ": not enough memory to decode it");
    case PieceResult::kNotCuttable:
    case PieceResult::kReadError:
      break;
  }
  // The viewer skips an empty document altogether; its text stays empty.
  const DecodeOutcome outcome = decodeText(command.encoding, document.bytes, document.byteCount, document.text);
  if (document.byteCount > 0 && !outcome.decoded) {
    std::fprintf(stderr, "quillscope-decode: note: nothing was decoded (%s); the viewer shows an empty text\n",
                 isPalmDocRow(command.encoding)
                     ? "not a Palm DOC book this reader supports, or no memory for its text"
                     : "no memory for the text");
  }
  const size_t units = outcome.decoded ? outcome.units : 0;
  output.put(document.text.data, units);
  return output.finish() ? kSuccess : fail(kOutputFailed, "writing the output failed");
}
