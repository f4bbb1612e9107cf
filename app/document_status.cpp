#include "app/document_status.h"

#include <cstdio>
#include <string>

#include "app/background_load.h"
#include "app/viewer_state.h"
#include "convert/encoding_catalogue.h"
#include "palmdoc/palmdoc.h"

namespace {

constexpr char16_t kProgramName[] = u"Quillscope";
constexpr char16_t kSeparator[] = u" - ";

std::u16string nameOf(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  const std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
  return name.empty() ? path : name;  // "\" alone names the root
}

std::u16string decimal(uint32_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

std::u16string encodingText(int32_t encoding) {
  const char16_t* name = encodingName(encoding);
  return name != nullptr ? std::u16string(name) : u"encoding " + decimal(static_cast<uint32_t>(encoding));
}

bool isOpenFailure(OpenProblem problem) { return problem != OpenProblem::kNone && problem != OpenProblem::kNotPalmDocBook; }

std::u16string problemWords(OpenProblem problem) {
  switch (problem) {
    case OpenProblem::kNoSuchFile: return u"cannot be opened: no such file";
    case OpenProblem::kPermissionDenied: return u"cannot be opened: permission denied";
    case OpenProblem::kFolder: return u"cannot be opened: is a folder";
    case OpenProblem::kTooLarge: return u"cannot be opened: 2 GiB or larger";
    case OpenProblem::kNotPalmDocBook: return u"is not a Palm DOC book this viewer reads";
    case OpenProblem::kNone: break;
  }
  return std::u16string();
}

bool plainDocument(const ViewerState& state) { return state.richDocument == kDecodedText; }

// UTF-8 for standard error; a lone surrogate becomes U+FFFD.
std::string toUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

TextCensus takeCensus(const char16_t* text) {
  TextCensus census;
  if (text == nullptr) return census;
  uint32_t undecodable = 0;
  const char16_t* p = text;
  for (; *p != 0; ++p) undecodable += (*p == 0xFFFF || *p == 0xFFFD) ? 1u : 0u;
  census.units = static_cast<uint32_t>(p - text);
  census.undecodable = undecodable;
  return census;
}

bool mostlyUndecodable(const TextCensus& census) {
  return static_cast<uint64_t>(census.undecodable) * 100 > census.units;
}

OpenProblem diagnoseUnreadable(LPCWSTR path) {
  const DWORD attributes = GetFileAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return GetLastError() == ERROR_ACCESS_DENIED ? OpenProblem::kPermissionDenied : OpenProblem::kNoSuchFile;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return OpenProblem::kFolder;
  HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_ACCESS_DENIED ? OpenProblem::kPermissionDenied : OpenProblem::kNoSuchFile;
  }
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  CloseHandle(file);
  // The byte buffer counts in signed 32 bits: 2^31 - 1 bytes and up cannot be held with the
  // zero byte after them.
  if (high != 0 || low >= 0x7FFFFFFFu) return OpenProblem::kTooLarge;
  return OpenProblem::kNone;
}

bool titleReportsProblem(const ReadingSession& session, bool plain) {
  if (session.problem != OpenProblem::kNone) return true;
  return plain && mostlyUndecodable(TextCensus{session.textUnits, session.undecodableUnits});
}

std::u16string documentTitle(const ViewerState& state) {
  const ReadingSession& session = state.session;
  if (session.path.empty()) return kProgramName;
  std::u16string title = nameOf(session.path);
  const auto add = [&title](const std::u16string& part) { title += kSeparator + part; };
  const bool plain = plainDocument(state);
  if (plain && !isOpenFailure(session.problem)) add(encodingText(static_cast<int32_t>(state.encoding)));
  if (session.problem != OpenProblem::kNone) add(problemWords(session.problem));
  if (plain && session.problem == OpenProblem::kNone &&
      mostlyUndecodable(TextCensus{session.textUnits, session.undecodableUnits})) {
    const std::u16string encoding = encodingText(static_cast<int32_t>(state.encoding));
    add(decimal(session.undecodableUnits) + u" characters undecodable in " + encoding + u": try another in VIEW");
  }
  if (session.changedOnDisk) add(u"changed on disk: F5 reloads");
  if (plain && session.lastReadEncoding >= 0 && static_cast<uint32_t>(session.lastReadEncoding) != state.encoding) {
    add(u"last read as " + encodingText(session.lastReadEncoding));
  }
  add(kProgramName);
  return title;
}

void assessDocument(ViewerState& state, const TextCensus* census) {
  ReadingSession& session = state.session;
  session.problem = OpenProblem::kNone;
  session.textUnits = 0;
  session.undecodableUnits = 0;
  if (backgroundLoadPending(state)) return;
  if (state.byteCount == 0) {
    session.problem = diagnoseUnreadable(state.path);
  } else if (state.richDocument == kDecodedText) {
    const EncodingRow* row = encodingRow(state.encoding);
    if (row != nullptr && row->room == TextRoom::kPalmDocBook &&
        palmDocTextSize(state.fileBytes.data, state.byteCount) < 0) {
      session.problem = OpenProblem::kNotPalmDocBook;
    } else {
      const TextCensus taken = census != nullptr ? *census : takeCensus(state.wideText.text());
      session.textUnits = taken.units;
      session.undecodableUnits = taken.undecodable;
    }
  }
}

void showDocumentStatus(ViewerState& state) {
  const std::u16string title = documentTitle(state);
  SetWindowText(GetDesktopWindow(), title.c_str());
  ReadingSession& session = state.session;
  if (titleReportsProblem(session, plainDocument(state))) {
    if (title != session.reportedLine) {
      std::fprintf(stderr, "%s\n", toUtf8(title).c_str());
      std::fflush(stderr);
      session.reportedLine = title;
    }
  } else {
    session.reportedLine.clear();
  }
}
