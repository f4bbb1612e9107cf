#include "settings/view_dialog.h"

#include <cstring>

#include "convert/encoding_catalogue.h"
#include "platform/shellext/aygshell.h"
#include "resources/resource_ids.h"
#include "settings/settings_file.h"

const WCHAR* const kZoomChoices[kZoomChoiceCount] = {u"90",  u"95",  u"100", u"105", u"110",
                                                     u"115", u"125", u"150", u"200"};
const WCHAR* const kLineStyleNames[kLineStyleCount] = {u"None", u"Line", u"Dot "};

namespace {

constexpr int kZoomTextUnits = 5;  // the zoom list's text is read into 5 units

// A decimal integer as the zoom list holds it; empty or non-numeric text gives 0.
int32_t parseDecimal(const WCHAR* text) {
  int32_t value = 0;
  for (; *text >= u'0' && *text <= u'9'; ++text) value = value * 10 + (*text - u'0');
  return value;
}

void insertString(HWND dialog, int list, int position, const WCHAR* text) {
  SendDlgItemMessage(dialog, list, CB_INSERTSTRING, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text));
}

ViewDialog* dialogObject(HWND dialog) { return reinterpret_cast<ViewDialog*>(GetWindowLongPtr(dialog, DWLP_USER)); }

}  // namespace

bool ViewDialog::run(HWND parent, HINSTANCE programInstance) {
  instance = programInstance;
  DialogBoxParam(instance, MAKEINTRESOURCE(res::kDialogView), parent, dialogProc, reinterpret_cast<LPARAM>(this));
  return accepted;
}

int CALLBACK ViewDialog::collectFontName(const LOGFONT* logFont, const TEXTMETRIC*, DWORD, LPARAM self) {
  auto* dialog = reinterpret_cast<ViewDialog*>(self);
  if (dialog->fontCount == kViewFontSlots) return 0;
  lstrcpyn(dialog->fontNames[dialog->fontCount], logFont->lfFaceName, LF_FACESIZE);
  ++dialog->fontCount;
  return 1;
}

BOOL CALLBACK ViewDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // Every message works on the settings file as it stands now: nothing is kept in between.
  SettingsFile settings;
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtr(dialog, DWLP_USER, lParam);
      ViewDialog* self = reinterpret_cast<ViewDialog*>(lParam);
      self->zoomPercent = settings.image.zoomPercent;
      self->encoding = settings.image.encoding;
      self->lineStyle = settings.image.lineStyle;
      std::memcpy(self->faceName, settings.image.faceName, sizeof settings.image.faceName);
      self->useSystemDialog = settings.image.useSystemDialog;
      self->initControls(dialog);
      return TRUE;
    }
    case WM_COMMAND: {
      ViewDialog* self = dialogObject(dialog);
      if (self == nullptr) return FALSE;
      if (LOWORD(wParam) == IDOK) {
        self->readControls(dialog);
        SettingsImage& image = settings.image;
        image.zoomPercent = self->zoomPercent;
        std::memcpy(image.faceName, self->faceName, sizeof image.faceName);
        image.encoding = self->encoding;
        image.lineStyle = self->lineStyle;
        image.useSystemDialog = self->useSystemDialog;
        settings.save();
        self->accepted = true;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        self->accepted = false;
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

void ViewDialog::initControls(HWND dialog) {
  SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SHInitDialog(&init);

  HWND parent = GetParent(dialog);
  HDC dc = GetDC(parent);
  EnumFontFamilies(dc, nullptr, collectFontName, reinterpret_cast<LPARAM>(this));

  for (int i = 0; i < fontCount; ++i) insertString(dialog, res::kViewFontList, i, fontNames[i]);
  for (int i = 0; i < kZoomChoiceCount; ++i) insertString(dialog, res::kViewZoomList, i, kZoomChoices[i]);
  for (int i = 0; i < kEncodingCount; ++i) insertString(dialog, res::kViewEncodingList, i, encodingName(i));
  for (int i = 0; i < kLineStyleCount; ++i) insertString(dialog, res::kViewLineStyleList, i, kLineStyleNames[i]);

  // The face: an exact, case-sensitive match; the last equal entry wins.
  for (int i = 0; i < fontCount; ++i) {
    if (lstrcmp(fontNames[i], faceName) == 0) SendDlgItemMessage(dialog, res::kViewFontList, CB_SETCURSEL, i, 0);
  }
  WCHAR zoomText[16];
  wsprintf(zoomText, u"%d", zoomPercent);
  for (int i = 0; i < kZoomChoiceCount; ++i) {
    if (lstrcmp(kZoomChoices[i], zoomText) == 0) SendDlgItemMessage(dialog, res::kViewZoomList, CB_SETCURSEL, i, 0);
  }
  // Out-of-range values leave their list without a selection.
  SendDlgItemMessage(dialog, res::kViewEncodingList, CB_SETCURSEL, static_cast<WPARAM>(encoding), 0);
  SendDlgItemMessage(dialog, res::kViewLineStyleList, CB_SETCURSEL, static_cast<WPARAM>(lineStyle), 0);
  SendDlgItemMessage(dialog, res::kViewSystemDialogCheck, BM_SETCHECK, static_cast<WPARAM>(useSystemDialog), 0);

  ReleaseDC(parent, dc);
}

void ViewDialog::readControls(HWND dialog) {
  GetDlgItemText(dialog, res::kViewFontList, faceName, kViewFontSlotUnits);
  WCHAR zoomText[kZoomTextUnits]{};
  GetDlgItemText(dialog, res::kViewZoomList, zoomText, kZoomTextUnits);
  zoomPercent = parseDecimal(zoomText);
  encoding = static_cast<int32_t>(SendDlgItemMessage(dialog, res::kViewEncodingList, CB_GETCURSEL, 0, 0));
  lineStyle = static_cast<int32_t>(SendDlgItemMessage(dialog, res::kViewLineStyleList, CB_GETCURSEL, 0, 0));
  useSystemDialog = SendDlgItemMessage(dialog, res::kViewSystemDialogCheck, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}
