// MessageBox: a modal desktop message box with the caption, text, icon and buttons that the
// MB_* type asks for, run inside a nested message loop of the platform's kind (posted messages
// keep being dispatched; a quit request ends the box and stays for the outer loops). The owner
// is disabled meanwhile, so it loses the keyboard as on the platform. A test's responder answers
// instead of a person.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <map>

#include "platform/system/message_loop.h"
#include "platform/system/qt_units.h"
#include "platform/system/responders.h"
#include "platform/system/text_utils.h"
#include "platform/system/window_host.h"
#include "platform/system/window_records.h"

namespace {

constexpr UINT kButtonMask = 0x0000000F;
constexpr UINT kIconMask = 0x000000F0;
constexpr UINT kDefaultButtonMask = 0x00000F00;
constexpr UINT kAbortRetryIgnore = 0x00000002;
constexpr UINT kYesNoCancel = 0x00000003;
constexpr UINT kRetryCancel = 0x00000005;

struct ButtonChoice {
  int id;                               // the button's result (IDOK, IDYES ...)
  QMessageBox::StandardButton button;   // the desktop button that stands for it
};

std::vector<ButtonChoice> buttonsFor(UINT type) {
  switch (type & kButtonMask) {
    case MB_OKCANCEL:
      return {{IDOK, QMessageBox::Ok}, {IDCANCEL, QMessageBox::Cancel}};
    case kAbortRetryIgnore:
      return {{IDABORT, QMessageBox::Abort}, {IDRETRY, QMessageBox::Retry}, {IDIGNORE, QMessageBox::Ignore}};
    case kYesNoCancel:
      return {{IDYES, QMessageBox::Yes}, {IDNO, QMessageBox::No}, {IDCANCEL, QMessageBox::Cancel}};
    case MB_YESNO:
      return {{IDYES, QMessageBox::Yes}, {IDNO, QMessageBox::No}};
    case kRetryCancel:
      return {{IDRETRY, QMessageBox::Retry}, {IDCANCEL, QMessageBox::Cancel}};
    default:
      return {{IDOK, QMessageBox::Ok}};
  }
}

QMessageBox::Icon iconFor(UINT type) {
  switch (type & kIconMask) {
    case MB_ICONHAND:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case MB_ICONASTERISK:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// The answer when the box is closed without a button: Cancel where there is one, the only
// button of a one-button box, else the last button.
int closeResult(const std::vector<ButtonChoice>& buttons) {
  for (const auto& choice : buttons) {
    if (choice.id == IDCANCEL) return IDCANCEL;
  }
  return buttons.size() == 1 ? buttons.front().id : buttons.back().id;
}

int showDesktopBox(const platform::responders::MessageBoxCall& call) {
  const auto buttons = buttonsFor(call.type);
  QMessageBox box(platform::widgets::deviceScreen());
  box.setWindowTitle(platform::unitsToQString(call.caption));
  box.setText(platform::unitsToQString(call.text));
  box.setIcon(iconFor(call.type));
  std::map<QAbstractButton*, int> ids;
  for (const auto& choice : buttons) ids[box.addButton(choice.button)] = choice.id;
  const size_t defaultIndex = std::min<size_t>((call.type & kDefaultButtonMask) >> 8, buttons.size() - 1);
  box.setDefaultButton(buttons[defaultIndex].button);
  if (!platform::messages::runDesktopDialog(box)) return closeResult(buttons);
  const auto it = ids.find(box.clickedButton());
  return it == ids.end() ? closeResult(buttons) : it->second;
}

}  // namespace

int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  platform::responders::MessageBoxCall call;
  call.owner = owner;
  call.text = platform::text::fromPointer(text);
  call.caption = caption != nullptr ? platform::text::fromPointer(caption) : std::u16string(u"Error");
  call.type = type;
  // The owner takes no input while the box is up; the keyboard comes back to where it was.
  const HWND ownerTop = platform::windows::topLevelAncestor(owner);
  const HWND previousFocus = GetFocus();
  const bool disabledOwner = ownerTop != nullptr && IsWindowEnabled(ownerTop);
  if (disabledOwner) EnableWindow(ownerTop, FALSE);
  int result = IDOK;
  const auto responder = platform::responders::currentMessageBoxResponder();
  if (responder) {
    result = responder(call);
  } else if (QApplication::instance() != nullptr) {
    result = showDesktopBox(call);
  }
  if (disabledOwner && IsWindow(ownerTop)) EnableWindow(ownerTop, TRUE);
  if (IsWindow(previousFocus) && GetFocus() != previousFocus) SetFocus(previousFocus);
  return result;
}
