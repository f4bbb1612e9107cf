// Dropped files: the device screen accepts the desktop's drops of local files once a window has
// asked for them, turns the files' host paths into device paths and posts WM_DROPFILES to that
// window. Files outside the device (in sandbox mode) are left out; a drop with none is ignored.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "platform/system/files/device_paths.h"
#include "platform/system/shellapi.h"
#include "platform/system/text_utils.h"
#include "platform/system/window_host.h"

struct HDROP__ {
  std::vector<std::u16string> paths;  // device paths of the dropped files, in the desktop's order
};

namespace platform::widgets {
namespace {

std::vector<HWND>& acceptingWindows() {
  static std::vector<HWND> windows;  // oldest first; the newest live one takes a drop
  return windows;
}

std::set<HDROP>& liveDrops() {
  static std::set<HDROP> drops;  // handed out and not yet finished
  return drops;
}

HWND dropTarget() {
  auto& windows = acceptingWindows();
  std::erase_if(windows, [](HWND window) { return !IsWindow(window); });
  return windows.empty() ? nullptr : windows.back();
}

std::vector<std::u16string> devicePathsOf(const QMimeData* data) {
  std::vector<std::u16string> paths;
  if (data == nullptr) return paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    const std::u16string path = files::devicePathFor(url.toLocalFile().toStdString());
    if (!path.empty()) paths.push_back(path);
  }
  return paths;
}

class DropFilter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        const bool wanted = dropTarget() != nullptr && !devicePathsOf(drag->mimeData()).empty();
        if (wanted) drag->acceptProposedAction(); else drag->ignore();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const HWND target = dropTarget();
        std::vector<std::u16string> paths = devicePathsOf(drop->mimeData());
        if (target == nullptr || paths.empty()) return true;
        drop->acceptProposedAction();
        auto* handle = new HDROP__{std::move(paths)};
        liveDrops().insert(handle);
        PostMessage(target, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
        return true;
      }
      default:
        return QObject::eventFilter(watched, event);
    }
  }
};

void acceptDropsOnScreen() {
  static QPointer<QWidget> watched;
  QWidget* screen = deviceScreen();
  if (screen == nullptr || watched == screen) return;
  static DropFilter* filter = new DropFilter;
  screen->setAcceptDrops(true);
  screen->installEventFilter(filter);
  watched = screen;
}

}  // namespace
}  // namespace platform::widgets

void DragAcceptFiles(HWND window, BOOL accept) {
  using namespace platform::widgets;
  auto& windows = acceptingWindows();
  std::erase(windows, window);
  if (accept == FALSE || !IsWindow(window)) return;
  windows.push_back(window);
  acceptDropsOnScreen();
}

UINT DragQueryFile(HDROP drop, UINT index, LPWSTR buffer, UINT count) {
  if (!platform::widgets::liveDrops().contains(drop)) return 0;
  if (index == 0xFFFFFFFFu) return static_cast<UINT>(drop->paths.size());
  if (index >= drop->paths.size()) return 0;
  const std::u16string& path = drop->paths[index];
  if (buffer == nullptr || count == 0) return static_cast<UINT>(path.size());
  return static_cast<UINT>(platform::text::copyTruncated(path, buffer, static_cast<int>(std::min<UINT>(count, 0x7FFFFFFF))));
}

void DragFinish(HDROP drop) {
  if (platform::widgets::liveDrops().erase(drop) != 0) delete drop;
}
