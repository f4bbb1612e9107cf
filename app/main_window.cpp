#include "app/main_window.h"

#include "app/about_dialog.h"
#include "app/apply_settings.h"
#include "app/background_load.h"
#include "app/commands.h"
#include "app/decode_document.h"
#include "app/display.h"
#include "app/document_session.h"
#include "app/document_loader.h"
#include "app/find_command.h"
#include "app/hand_over.h"
#include "app/key_actions.h"
#include "app/text_view_proc.h"
#include "platform/shellext/aygshell.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kMenuBarAndTopBar = kTopBarHeight + kMenuBarHeight;  // the shell's two bars

LRESULT onCreate(HWND hwnd, const CREATESTRUCT* create) {
  auto* state = static_cast<ViewerState*>(create->lpCreateParams);
  SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));

  RECT client{};
  GetClientRect(hwnd, &client);
  state->textView = CreateWindowEx(0, WC_RICHINK, nullptr, kTextViewStyle, 0, 0, client.right,
                                   client.bottom - kMenuBarReserve, hwnd, nullptr, state->instance, state);
  applySettings(*state, hwnd);
  DragAcceptFiles(hwnd, TRUE);  // a file dropped on the viewer opens like a chosen one
  savedTextViewProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtr(state->textView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(textViewProc)));

  if (state->path[0] == 0) {
    // No document named: the open command runs as soon as the message loop starts.
    PostMessage(hwnd, WM_COMMAND, res::kCommandOpen, 0);
    return 0;
  }
  state->richDocument = documentModeOf(state->path);
  loadDocument(*state, hwnd);
  decodeDocument(*state);
  PostMessage(hwnd, WM_PAINT, 0, 0);
  noteDocumentShown(*state, ShowReason::kOpened);
  return 0;
}

// While the viewer has the focus it captures the application keys, when the settings say so.
void onFocusChange(ViewerState& state, HWND hwnd, bool focused) {
  if (state.appKeysEnabled == 1) setAppKeysCaptured(state, hwnd, focused);
}

LRESULT onCommand(ViewerState& state, HWND hwnd, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case res::kCommandExit:
      leaveDocument(state);
      PostQuitMessage(0);  // the loop ends and teardown follows; the window is not destroyed first
      return 0;
    case res::kCommandView:
      runViewCommand(state);
      return 0;
    case res::kCommandOpen:
      runOpenCommand(state);
      return 0;
    case res::kCommandAbout:
      showAboutDialog(hwnd, state.instance);
      return 0;
    case res::kCommandKeyBind:
      runKeyBindCommand(state);
      return 0;
    case res::kCommandCopy:
      SendMessage(state.textView, WM_COPY, 0, 0);
      return 0;
    case res::kCommandExtension:
      runExtensionCommand(state);
      return 0;
    default:
      return DefWindowProc(hwnd, WM_COMMAND, wParam, lParam);
  }
}

}  // namespace

LRESULT mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewerState* state = viewerStateOf(hwnd);
  if (message == WM_CREATE) return onCreate(hwnd, reinterpret_cast<const CREATESTRUCT*>(lParam));
  if (state == nullptr) return DefWindowProc(hwnd, message, wParam, lParam);
  if (message == findDialogMessage()) {
    finishBackgroundLoad(*state);  // a search covers the whole document
    onFindDialogMessage(*state, reinterpret_cast<const FINDREPLACE*>(lParam));
    return 0;
  }

  switch (message) {
    case WM_DESTROY:
      leaveDocument(*state);
      PostQuitMessage(0);
      return 0;
    case WM_SETFOCUS:
      onFocusChange(*state, hwnd, true);
      return 0;
    case WM_KILLFOCUS:
      onFocusChange(*state, hwnd, false);
      return 0;
    case WM_PAINT:
      refreshDisplay(*state);  // also the program's own refresh request; paints nothing itself
      return 0;
    case WM_KEYDOWN:
      // Keys act on the whole document (its end, all of it selected, a reload): a big one
      // still loading is waited for.
      finishBackgroundLoad(*state);
      if (!runDesktopKey(*state, WM_KEYDOWN, LOWORD(wParam))) dispatchKey(*state, LOWORD(wParam));
      return 0;
    case WM_SYSKEYDOWN:
      finishBackgroundLoad(*state);
      if (runDesktopKey(*state, WM_SYSKEYDOWN, LOWORD(wParam))) return 0;
      return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_COMMAND:
      return onCommand(*state, hwnd, wParam, lParam);
    case WM_HOTKEY:
      finishBackgroundLoad(*state);
      dispatchKey(*state, HIWORD(static_cast<uintptr_t>(lParam)));
      return 0;
    case WM_COPYDATA:  // a later start hands over its document
      return receiveHandedOverDocument(*state, hwnd, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case kOpenHandedOverMessage:
      openHandedOverDocument(*state);
      return 0;
    case WM_DROPFILES:
      openDroppedFiles(*state, reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_INITMENUPOPUP:
      // COPY is offered only when there is something to copy.
      EnableMenuItem(reinterpret_cast<HMENU>(wParam), res::kCommandCopy,
                     MF_BYCOMMAND | (textViewHasSelection(state->textView) ? MF_ENABLED : MF_GRAYED));
      return 0;
    case kRestorePlaceMessage:
      restorePlace(*state);
      return 0;
    case WM_TIMER:
      if (wParam == kDiskCheckTimer) {
        checkDocumentOnDisk(*state);
        return 0;
      }
      if (wParam == kBackgroundLoadTimer) {
        checkBackgroundLoad(*state);
        return 0;
      }
      return DefWindowProc(hwnd, message, wParam, lParam);
    default:
      return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

bool createMainWindow(ViewerState& state, HINSTANCE instance, int showCommand) {
  state.instance = instance;

  WNDCLASS wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = mainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIcon(instance, MAKEINTRESOURCE(res::kIconMain));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kMainWindowClass;
  if (RegisterClass(&wc) == 0) return false;

  state.mainWindow = CreateWindowEx(0, kMainWindowClass, kMainWindowTitle, WS_VISIBLE, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, &state);

  RECT outer{};
  GetWindowRect(state.mainWindow, &outer);
  MoveWindow(state.mainWindow, outer.left, outer.top, outer.right, outer.bottom - kMenuBarAndTopBar, FALSE);

  SHMENUBARINFO menuBar{};
  menuBar.cbSize = kShMenuBarInfoSize;
  menuBar.hwndParent = state.mainWindow;
  menuBar.nToolBarId = res::kMenuBarMain;
  menuBar.hInstRes = instance;
  if (!SHCreateMenuBar(&menuBar)) return false;
  state.menuBar = menuBar.hwndMB;

  ShowWindow(state.mainWindow, showCommand);
  UpdateWindow(state.mainWindow);
  return true;
}
