// The ink/rich-text control, window class "RichInk": the viewer's text view.
#pragma once

#include <cstddef>

#include "platform/system/commdlg.h"
#include "platform/system/windows.h"

// Registers the class "RichInk". Returns non-zero.
BOOL InitRichInkDLL();

inline constexpr const WCHAR* WC_RICHINK = u"RichInk";

// Edit-control styles that the text view honours
inline constexpr DWORD ES_MULTILINE = 0x0004;
inline constexpr DWORD ES_AUTOVSCROLL = 0x0040;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD ES_READONLY = 0x0800;

// Messages
inline constexpr UINT EM_GETSEL = 0x00B0;
inline constexpr UINT EM_SETSEL = 0x00B1;                 // 177
inline constexpr UINT EM_LINESCROLL = 0x00B6;
inline constexpr UINT EM_GETLINECOUNT = 0x00BA;
inline constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
inline constexpr UINT EM_SETCHARFORMAT = WM_USER + 68;    // 1092
inline constexpr UINT EM_STREAMIN = WM_USER + 73;         // 1097
inline constexpr UINT EM_SETVIEW = WM_USER + 284;         // 1308: view mode
inline constexpr UINT EM_GETVIEW = WM_USER + 285;
inline constexpr UINT EM_SETPAGESTYLE = WM_USER + 287;    // 1311: page style
inline constexpr UINT EM_GETPAGESTYLE = WM_USER + 288;
inline constexpr UINT EM_SETZOOMPERCENT = WM_USER + 290;  // 1314
inline constexpr UINT EM_GETZOOMPERCENT = WM_USER + 291;
inline constexpr UINT EM_SETINKLAYER = WM_USER + 329;     // 1353
inline constexpr UINT EM_GETINKLAYER = WM_USER + 330;
inline constexpr UINT EM_CLEARALL = WM_USER + 331;        // 1355: empty the content
// This text view's own: shows a text in place instead of copying it as WM_SETTEXT does.
// lParam points to a TEXTHANDOVER; the view owns the text's storage from then on and calls its
// release function once it no longer shows it (at the latest when the window is destroyed).
// Returns TRUE; a null lParam does nothing and returns FALSE.
inline constexpr UINT EM_SETTEXTHANDOVER = WM_USER + 0x300;

// The text handed over with EM_SETTEXTHANDOVER.
struct TEXTHANDOVER {
  const WCHAR* text;               // the first unit; the view owns the storage from the message on
  size_t length;                   // units the storage holds; the text ends at the first zero unit
                                   // among them, or after them
  void (*release)(void* storage);  // gives the storage back; called once, with `storage`
  void* storage;                   // what `release` is called with (normally `text` itself)
  void* prepared;                  // PrepareTextHandover's index of the text, owned by the record
                                   // until the message or DiscardTextHandover takes it; else nullptr
};

// Indexes a handover's text on the calling thread, which may be any thread, so that the view
// takes it without reading it through again. From then on the record owns the text's storage:
// EM_SETTEXTHANDOVER hands both to the view, DiscardTextHandover gives both back. FALSE (and
// nothing prepared) for a null record or one prepared already.
BOOL PrepareTextHandover(TEXTHANDOVER* handover);
// Gives back a handover that will not be sent: its preparation and its text's storage.
void DiscardTextHandover(TEXTHANDOVER* handover);

// Beyond the handheld's list, as the desktop's rich edit controls have them:
inline constexpr UINT EM_SCROLLCARET = 0x00B7;  // brings the caret into view (its line to the top)
inline constexpr UINT EM_FINDTEXTEX = WM_USER + 79;  // wParam FR_* flags, lParam FINDTEXTEX*
// The text view's own: its place as a character, so that it survives a relayout.
inline constexpr UINT EM_GETTOPCHAR = WM_USER + 400;  // the first character of the top line
inline constexpr UINT EM_SETTOPCHAR = WM_USER + 401;  // wParam: its line becomes the top line

// EM_FINDTEXTEX: with FR_DOWN the first match inside [chrg.cpMin, chrg.cpMax) (cpMax -1: the
// end), else the last match that starts before chrg.cpMin and at or after chrg.cpMax. FR_MATCHCASE
// and FR_WHOLEWORD as in the find dialog. Returns the match's start and puts its range in
// chrgText, or returns -1.
struct CHARRANGE {
  LONG cpMin;  // first character
  LONG cpMax;  // one past the last character (-1: the end of the text)
};
struct FINDTEXTEX {
  CHARRANGE chrg;       // where to search
  LPCWSTR lpstrText;    // what to find, zero-terminated, borrowed for the call
  CHARRANGE chrgText;   // out: the match
};

// Page styles (EM_SETPAGESTYLE)
inline constexpr WPARAM PS_RULEDLINES = 0x0002;
inline constexpr WPARAM PS_NONE = 0x0010;
inline constexpr WPARAM PS_DOTTEDLINES = 0x0020;
// View modes (EM_SETVIEW)
inline constexpr WPARAM VT_TYPINGVIEW = 0;

// Stream-in formats
inline constexpr WPARAM SF_TEXT = 0x0001;
inline constexpr WPARAM SF_RTF = 0x0002;
inline constexpr WPARAM SF_UNICODE = 0x0010;
inline constexpr WPARAM SFF_PWI = 0x0800;
inline constexpr WPARAM SF_PWI = 0x00010000 | SFF_PWI | SF_RTF;  // 0x10802: a rich document

// The stream-in callback: fill `buffer` with up to `requested` bytes, store the count in
// *delivered, return 0. A call that delivers 0 bytes ends the stream.
using EDITSTREAMCALLBACK = DWORD (*)(DWORD_PTR cookie, BYTE* buffer, LONG requested, LONG* delivered);
struct EDITSTREAM {
  DWORD_PTR dwCookie;               // passed back to the callback, borrowed
  DWORD dwError;                    // error word, 0
  EDITSTREAMCALLBACK pfnCallback;   // the callback
};

// Character format (EM_SETCHARFORMAT)
inline constexpr DWORD CFM_FACE = 0x20000000;
inline constexpr DWORD CFM_SIZE = 0x80000000;
inline constexpr WPARAM SCF_SELECTION = 0x0001;
struct CHARFORMAT {
  UINT cbSize;                  // 92
  DWORD dwMask;                 // CFM_* fields that are valid
  DWORD dwEffects;              // CFE_* effects
  LONG yHeight;                 // height in twips
  LONG yOffset;                 // baseline offset in twips
  COLORREF crTextColor;         // text colour
  BYTE bCharSet;                // character set
  BYTE bPitchAndFamily;         // pitch and family
  WCHAR szFaceName[LF_FACESIZE];  // face name, zero-terminated
};
static_assert(sizeof(CHARFORMAT) == 92, "the character-format record is 92 bytes");
