#include "platform/textview/readers/html_reader.h"
#include "platform/textview/readers/plain_text_reader.h"
#include "platform/textview/readers/pocket_word_reader.h"
#include "platform/textview/readers/rtf_reader.h"
#include "platform/textview/readers/word_reader.h"
#include "platform/textview/readers/reader.h"

namespace platform::textview {

const std::vector<const DocumentReader*>& documentReaders() {
  // Rich formats go before the plain-text reader, which takes whatever is left.
  static const std::vector<const DocumentReader*> readers = {&rtfReader(), &pocketWordReader(), &wordReader(), &htmlReader(), &plainTextReader()};
  return readers;
}

const DocumentReader& readerFor(ByteView bytes) {
  for (const DocumentReader* reader : documentReaders()) {
    if (reader->recognises(bytes)) return *reader;
  }
  return plainTextReader();
}

TextDocument readDocument(ByteView bytes) { return readerFor(bytes).read(bytes); }

}  // namespace platform::textview
