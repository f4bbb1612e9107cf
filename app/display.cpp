#include "app/display.h"

#include "app/background_load.h"

TEXTHANDOVER textHandoverOf(WideBuffer& text) {
  TEXTHANDOVER handover{};
  if (text.data == nullptr) return handover;
  handover.length = static_cast<size_t>(text.capacity) + 1;  // the zero unit ends it
  handover.text = text.handOver();
  handover.release = releaseDocumentStorage;
  handover.storage = const_cast<WCHAR*>(handover.text);
  return handover;
}

void handOverText(HWND view, WideBuffer& text) {
  TEXTHANDOVER handover = textHandoverOf(text);
  if (handover.text != nullptr) SendMessage(view, EM_SETTEXTHANDOVER, 0, reinterpret_cast<LPARAM>(&handover));
}

void refreshDisplay(ViewerState& state) {
  const HWND view = state.textView;
  if (state.richDocument != kDecodedText) {
    // A rich document (or none yet): the chosen face applies to the whole document.
    CHARFORMAT format{};
    format.cbSize = sizeof(CHARFORMAT);
    format.dwMask = CFM_FACE;
    lstrcpyn(format.szFaceName, state.font.lfFaceName, LF_FACESIZE);
    SendMessage(view, EM_SETSEL, 0, -1);
    SendMessage(view, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessage(view, EM_SETSEL, 0, 0);
  } else if (backgroundLoadPending(state)) {
    // A big document still loading: its first screen now; the rest replaces it once it is in,
    // which the timer looks for.
    if (WideBuffer* firstScreen = firstScreenText(state); firstScreen->data != nullptr) {
      handOverText(view, *firstScreen);
      SetTimer(state.mainWindow, kBackgroundLoadTimer, kBackgroundLoadCheckMs, nullptr);
    }
  } else if (state.wideText.data != nullptr) {
    // A text decoded since the last refresh: the view takes its storage over and shows it in
    // place, so a document's text is neither copied nor sent again by later refreshes.
    handOverText(view, state.wideText);
  }
  SendMessage(view, EM_SETZOOMPERCENT, 0, state.zoomPercent);
  SendMessage(view, EM_SETINKLAYER, 1, 0);
  SendMessage(view, EM_SETVIEW, VT_TYPINGVIEW, 0);
  if (state.lineStyle < 3) SendMessage(view, EM_SETPAGESTYLE, kPageStyleForLineStyle[state.lineStyle], 0);

  if (state.richDocument == kDecodedText) {
    // The text view takes what it needs from the font during the send and keeps no reference.
    HFONT font = CreateFontIndirect(&state.font);
    SendMessage(view, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    DeleteObject(font);
  }
}
