// What the viewer knows of the document it shows beyond the handheld's record: why it could
// not be shown, how well it decoded, whether it changed on disk, and where the reader was. The
// desktop window's title says it (document_status.h); the position store remembers it.
#pragma once

#include <cstdint>
#include <string>

#include "app/position_store.h"
#include "platform/system/windows.h"

// Why a chosen document shows nothing, worded for the title.
enum class OpenProblem : uint8_t {
  kNone,              // read as it is (an empty file included)
  kNoSuchFile,        // nothing of that name
  kPermissionDenied,  // there, but the viewer may not read it
  kFolder,            // a folder, not a file
  kTooLarge,          // 2 GiB or more: the buffers count in signed 32 bits
  kNotPalmDocBook,    // a Palm DOC row was chosen and the header is not one the viewer reads
};

struct ReadingSession {
  std::u16string path;               // the document shown, as it was loaded; empty before any
  uint64_t size = 0;                 // its size in bytes when it was loaded
  FILETIME lastWrite{};              // its modification time when it was loaded
  OpenProblem problem = OpenProblem::kNone;  // why it shows nothing, if it does
  uint32_t textUnits = 0;            // units of the decoded text (plain documents)
  uint32_t undecodableUnits = 0;     // of those, cells the encoding left undecodable
  int32_t lastReadEncoding = -1;     // the encoding it was last read in, when not today's; else -1
  bool changedOnDisk = false;        // the file changed since it was loaded (F5 reloads)
  int64_t pendingTopCharacter = -1;  // where to put the view once its text is set; -1 none
  std::u16string reportedLine;       // the last problem line written to standard error
  PositionStore positions;           // where the reader left each document; read once
};
