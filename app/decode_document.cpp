#include "app/decode_document.h"

#include "convert/decode_text.h"

void decodeDocument(ViewerState& state) {
  if (state.byteCount == 0) return;
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  if (state.richDocument == kDecodedText) {
    decodeText(state.encoding, state.fileBytes, state.byteCount, state.wideText);
  }
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
}
