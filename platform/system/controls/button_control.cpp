// "BUTTON": push buttons (the default one drawn as such), check boxes, radio buttons and group
// boxes, on Qt's own buttons. A click reaches the parent as WM_COMMAND(BN_CLICKED); automatic
// check boxes and radio buttons change their own state first.
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "platform/system/controls/control_support.h"
#include "platform/system/controls/standard_controls.h"
#include "platform/system/window_host.h"

namespace platform::controls {
namespace {

inline constexpr LRESULT kPushedState = 0x0004;  // BST_PUSHED in BM_GETSTATE
inline constexpr LRESULT kFocusState = 0x0008;   // BST_FOCUS in BM_GETSTATE

enum class ButtonKind { Push, CheckBox, Radio, GroupBox };

struct ButtonRecord {
  HWND window = nullptr;         // the button's own window
  DWORD type = BS_PUSHBUTTON;    // BS_* type (style & BS_TYPEMASK); BM_SETSTYLE changes it
  ButtonKind kind = ButtonKind::Push;  // which Qt widget shows it, from the type at creation
  UINT checkState = BST_UNCHECKED;     // BST_* of a check box or radio button; 0 otherwise
  HFONT font = nullptr;          // the last WM_SETFONT handle, borrowed; only WM_GETFONT returns it
  QAbstractButton* button = nullptr;   // the Qt button, or nullptr for a group box; the layer owns it
  QGroupBox* group = nullptr;    // the Qt frame of a group box, or nullptr; the layer owns it
  std::unique_ptr<SignalReceiver> receiver;  // receives the widget's signals; owned
};

bool isAutomatic(DWORD type) { return type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON; }

ButtonKind kindOf(DWORD type) {
  switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
      return ButtonKind::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return ButtonKind::Radio;
    case BS_GROUPBOX:
      return ButtonKind::GroupBox;
    default:
      return ButtonKind::Push;
  }
}

// A check box whose click changes its state only for BS_AUTOCHECKBOX; a plain BS_CHECKBOX
// leaves that to the program, as the platform does.
class CheckBoxWidget : public QCheckBox {
 public:
  explicit CheckBoxWidget(bool automatic) : automatic_(automatic) {}

 protected:
  void nextCheckState() override {
    if (automatic_) QCheckBox::nextCheckState();
  }
  // The whole control takes clicks, not only its box and caption.
  bool hitButton(const QPoint& position) const override { return rect().contains(position); }

 private:
  bool automatic_;  // BS_AUTOCHECKBOX
};

// A radio button: an automatic one checks itself (a click never clears it); the program
// updates its neighbours. Qt's own exclusivity is off, groups are the program's.
class RadioWidget : public QRadioButton {
 public:
  explicit RadioWidget(bool automatic) : automatic_(automatic) { setAutoExclusive(false); }

 protected:
  void nextCheckState() override {
    if (automatic_) setChecked(true);
  }
  bool hitButton(const QPoint& position) const override { return rect().contains(position); }

 private:
  bool automatic_;  // BS_AUTORADIOBUTTON
};

void showCheckState(ButtonRecord& record) {
  if (auto* box = qobject_cast<QCheckBox*>(record.button)) {
    box->setCheckState(record.checkState == BST_CHECKED         ? Qt::Checked
                       : record.checkState == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                                : Qt::Unchecked);
  } else if (record.kind == ButtonKind::Radio && record.button != nullptr) {
    record.button->setChecked(record.checkState == BST_CHECKED);
  }
}

// An automatic radio button that becomes checked clears the other automatic radio buttons of
// its group: the siblings from the nearest one with WS_GROUP up to the next one with WS_GROUP.
void clearRadioGroup(HWND button) {
  HWND parent = GetParent(button);
  if (parent == nullptr) return;
  HWND groupStart = nullptr;
  for (HWND sibling = GetWindow(parent, GW_CHILD); sibling != nullptr; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if ((GetWindowLong(sibling, GWL_STYLE) & WS_GROUP) != 0 || groupStart == nullptr) groupStart = sibling;
    if (sibling == button) break;
  }
  bool inGroup = false;
  for (HWND sibling = groupStart; sibling != nullptr; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    const DWORD style = static_cast<DWORD>(GetWindowLong(sibling, GWL_STYLE));
    if (inGroup && (style & WS_GROUP) != 0) break;
    inGroup = true;
    if (sibling == button || (style & BS_TYPEMASK) != BS_AUTORADIOBUTTON) continue;
    WCHAR className[8] = {};
    GetClassName(sibling, className, 8);
    if (std::u16string_view(className) != std::u16string_view(WC_BUTTON)) continue;
    SendMessage(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

// What a click does after any state change of its own: the notification to the parent.
void afterClick(HWND hwnd, ButtonRecord& record) {
  if (record.kind == ButtonKind::Radio && isAutomatic(record.type) && record.checkState == BST_CHECKED) {
    clearRadioGroup(hwnd);
    if (!stillAlive(hwnd, &record)) return;
  }
  notifyParent(hwnd, BN_CLICKED);
}

// The Qt button was clicked by the user: take over the state it gave itself, then notify.
void onUserClick(HWND hwnd) {
  auto* record = recordOf<ButtonRecord>(hwnd);
  if (record == nullptr || record->button == nullptr) return;
  if (auto* box = qobject_cast<QCheckBox*>(record->button)) {
    const Qt::CheckState state = box->checkState();
    record->checkState = state == Qt::Checked ? BST_CHECKED : state == Qt::PartiallyChecked ? BST_INDETERMINATE : BST_UNCHECKED;
  } else if (record->kind == ButtonKind::Radio) {
    record->checkState = record->button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
  }
  afterClick(hwnd, *record);
}

// BM_CLICK: the same as a click by the user, whatever the button's enabled state.
void simulateClick(HWND hwnd, ButtonRecord& record) {
  if (record.kind == ButtonKind::GroupBox) return;
  if (record.type == BS_AUTOCHECKBOX) {
    record.checkState = record.checkState == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    showCheckState(record);
  } else if (record.type == BS_AUTORADIOBUTTON) {
    record.checkState = BST_CHECKED;
    showCheckState(record);
  }
  afterClick(hwnd, record);
}

QWidget* createWidget(ButtonRecord& record, const std::u16string& text) {
  const QString caption = widgets::toQString(text.c_str());
  switch (record.kind) {
    case ButtonKind::GroupBox: {
      record.group = new QGroupBox(caption);
      // A group box only frames its neighbours: clicks go through it and it stays beneath them.
      record.group->setAttribute(Qt::WA_TransparentForMouseEvents);
      record.group->setFocusPolicy(Qt::NoFocus);
      return record.group;
    }
    case ButtonKind::CheckBox:
      record.button = new CheckBoxWidget(isAutomatic(record.type));
      break;
    case ButtonKind::Radio:
      record.button = new RadioWidget(isAutomatic(record.type));
      break;
    case ButtonKind::Push: {
      auto* push = new QPushButton;
      push->setDefault(record.type == BS_DEFPUSHBUTTON);
      // Enter on a focused push button clicks it, as in the platform's dialogs.
      push->setAutoDefault(true);
      record.button = push;
      break;
    }
  }
  record.button->setText(caption);
  return record.button;
}

LRESULT onCreate(HWND hwnd, const CREATESTRUCT* create) {
  auto record = std::make_unique<ButtonRecord>();
  record->window = hwnd;
  record->type = static_cast<DWORD>(create->style) & BS_TYPEMASK;
  record->kind = kindOf(record->type);
  QWidget* widget = createWidget(*record, textParameter(create->lpszName));
  widget->setEnabled((static_cast<DWORD>(create->style) & WS_DISABLED) == 0);
  record->receiver = std::make_unique<SignalReceiver>(hwnd);
  if (record->button != nullptr) {
    QObject::connect(record->button, &QAbstractButton::clicked, record->receiver.get(), [hwnd] { onUserClick(hwnd); });
  }
  widgets::attachWidget(hwnd, widget, widgets::InputRouting::Native);
  if (record->group != nullptr) record->group->lower();
  storeRecord(hwnd, record.release());
  return 0;
}

QWidget* widgetOfRecord(const ButtonRecord& record) {
  return record.group != nullptr ? static_cast<QWidget*>(record.group) : record.button;
}

LRESULT onSetText(HWND hwnd, ButtonRecord& record, WPARAM wParam, LPARAM lParam) {
  const LRESULT stored = DefWindowProc(hwnd, WM_SETTEXT, wParam, lParam);
  const QString caption = widgets::toQString(textParameter(lParam).c_str());
  if (record.group != nullptr) record.group->setTitle(caption);
  if (record.button != nullptr) record.button->setText(caption);
  return stored;
}

LRESULT onSetCheck(ButtonRecord& record, WPARAM state) {
  if (record.kind != ButtonKind::CheckBox && record.kind != ButtonKind::Radio) return 0;
  // Two-state buttons know only checked and unchecked; a larger value checks them.
  record.checkState = state == BST_UNCHECKED ? BST_UNCHECKED : BST_CHECKED;
  showCheckState(record);
  return 0;
}

LRESULT onGetState(const ButtonRecord& record) {
  LRESULT state = static_cast<LRESULT>(record.checkState);
  if (record.button != nullptr && record.button->isDown()) state |= kPushedState;
  const QWidget* widget = widgetOfRecord(record);
  if (widget != nullptr && widget->hasFocus()) state |= kFocusState;
  return state;
}

LRESULT onSetStyle(HWND hwnd, ButtonRecord& record, WPARAM style) {
  const DWORD type = static_cast<DWORD>(style) & BS_TYPEMASK;
  const DWORD windowStyle = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
  SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>((windowStyle & ~BS_TYPEMASK) | type));
  // Only the default mark can change on the widget that shows the button.
  if (record.kind == ButtonKind::Push && kindOf(type) == ButtonKind::Push) {
    record.type = type;
    static_cast<QPushButton*>(record.button)->setDefault(type == BS_DEFPUSHBUTTON);
  }
  return 0;
}

}  // namespace

LRESULT handleButtonMessage(HWND hwnd, ButtonRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT:
      return onSetText(hwnd, record, wParam, lParam);
    case BM_GETCHECK:
      return static_cast<LRESULT>(record.checkState);
    case BM_SETCHECK:
      return onSetCheck(record, wParam);
    case BM_GETSTATE:
      return onGetState(record);
    case BM_SETSTATE:
      if (record.button != nullptr) record.button->setDown(wParam != 0);
      return 0;
    case BM_SETSTYLE:
      return onSetStyle(hwnd, record, wParam);
    case BM_CLICK:
      simulateClick(hwnd, record);
      return 0;
    default:
      return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

LRESULT buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr ControlProcedure<ButtonRecord> kProcedure{onCreate, widgetOfRecord, nullptr, nullptr,
                                                             handleButtonMessage};
  return runControlProcedure(kProcedure, hwnd, message, wParam, lParam);
}

}  // namespace platform::controls
