// Finding a text in the text view's document: a scan over its UTF-16 units (not over laid-out
// lines), so a match that runs across a segment cut or a wrapped line is found like any other,
// and a search over hundreds of megabytes takes a fraction of a second.
#pragma once

#include <QStringView>
#include <cstdint>

namespace platform::textview {

struct SearchOptions {
  bool forward = true;     // towards the end; else towards the start
  bool matchCase = false;  // else letters match their other case (one unit to one unit)
  bool wholeWord = false;  // the match may not have a letter, digit or '_' right before or after it
};

// The start of the first match of `needle` in `text` that lies within [from, limit) searching
// forward, or the start of the last match that begins before `from` and at or after `limit`
// searching backward; -1 when there is none (or the needle is empty).
int64_t findInText(QStringView text, QStringView needle, int64_t from, int64_t limit, SearchOptions options);

}  // namespace platform::textview
