// The desktop window's title: the document's name, its encoding and, where it applies, what
// went wrong, so that no modal box is needed to say it. A line that reports a problem goes to
// standard error too.
#pragma once

#include <string>

#include "app/reading_session.h"

struct ViewerState;

// The undecodable cells of a text: the decoders write U+FFFF for a cell their table leaves
// empty and U+FFFD for a sequence that is not one. Counts up to the ending zero unit.
struct TextCensus {
  uint32_t units = 0;        // units before the ending zero
  uint32_t undecodable = 0;  // of those, U+FFFF and U+FFFD
};
TextCensus takeCensus(const char16_t* text);

// Whether a text leaves so much undecodable that another encoding is likely the right one:
// more than 1 % of its units.
bool mostlyUndecodable(const TextCensus& census);

// Why the document at `path` could not be read, looked up after a load that read nothing.
// kNone for a file that is there and readable (an empty one).
OpenProblem diagnoseUnreadable(LPCWSTR path);

// The title for the session as it stands: "name.txt - Quillscope" and, between the two, the
// encoding of a plain document and the first thing to know: a problem, a note ("last read as
// ...", "changed on disk ..."). Without a document: "Quillscope".
std::u16string documentTitle(const ViewerState& state);
// Whether the title reports a problem (then it goes to standard error as well).
bool titleReportsProblem(const ReadingSession& session, bool plainDocument);

// After a load and decode (or a decode again under another encoding): works out the problem
// and the census of the document in memory, or takes `census` when one was taken already.
// While a background load runs there is nothing to assess yet.
void assessDocument(ViewerState& state, const TextCensus* census = nullptr);
// Shows the title for the session as it stands, and writes a problem line to standard error.
void showDocumentStatus(ViewerState& state);
