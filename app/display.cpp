#include "app/display.h"

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
  } else if (state.wideText.data != nullptr) {
    // A text decoded since the last refresh: the view takes its storage over and shows it in
    // place, so a document's text is neither copied nor sent again by later refreshes.
    TEXTHANDOVER handover{};
    handover.length = static_cast<size_t>(state.wideText.capacity) + 1;  // the zero unit ends it
    handover.text = state.wideText.handOver();
    handover.release = releaseDocumentStorage;
    handover.storage = const_cast<WCHAR*>(handover.text);
    SendMessage(view, EM_SETTEXTHANDOVER, 0, reinterpret_cast<LPARAM>(&handover));
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
