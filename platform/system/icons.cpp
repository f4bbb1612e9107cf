// Icons: LoadIcon gives a handle for an icon of the program's resources (its ARGB pixels) or
// for one of the standard icons; iconPixmap turns it into a desktop picture.
#include <QImage>
#include <QPixmap>
#include <map>
#include <utility>

#include "platform/system/handle_allocator.h"
#include "platform/system/resources.h"
#include "platform/system/window_host.h"

namespace platform::icons {
namespace {

constexpr int kMaxIconSide = 1024;  // larger resources are not icons: refused rather than read

struct IconTable {
  std::map<std::pair<HINSTANCE, WORD>, HICON> loaded;   // (instance, id) -> handle, loaded once
  std::map<uintptr_t, const IconResource*> resources;    // handle value -> its pixels (nullptr: standard icon)
};

IconTable& table() {
  static IconTable instance;
  return instance;
}

}  // namespace
}  // namespace platform::icons

HICON LoadIcon(HINSTANCE instance, LPCWSTR name) {
  using namespace platform::icons;
  if (name == nullptr || !IS_INTRESOURCE(name)) return nullptr;
  const WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
  const auto key = std::make_pair(instance, id);
  if (const auto it = table().loaded.find(key); it != table().loaded.end()) return it->second;
  const platform::IconResource* resource = nullptr;
  if (instance != nullptr) {
    resource = platform::FindIconResource(instance, id);
    if (resource == nullptr) return nullptr;
  } else if (id < 32512 || id > 32517) {
    return nullptr;  // not one of the standard icons (application, error, question ...)
  }
  const HICON icon = platform::handles::allocateHandle<HICON>();
  table().loaded[key] = icon;
  table().resources[platform::handles::handleValue(icon)] = resource;
  return icon;
}

namespace platform::widgets {

QPixmap iconPixmap(HICON icon) {
  const auto it = icons::table().resources.find(handles::handleValue(icon));
  if (it == icons::table().resources.end()) return {};
  const IconResource* resource = it->second;
  if (resource == nullptr) {
    QPixmap standard(32, 32);
    standard.fill(QColor(0, 48, 120));
    return standard;
  }
  if (resource->pixels == nullptr || resource->width <= 0 || resource->height <= 0 ||
      resource->width > icons::kMaxIconSide || resource->height > icons::kMaxIconSide) {
    return {};
  }
  QImage image(resource->width, resource->height, QImage::Format_ARGB32);
  for (int y = 0; y < resource->height; ++y) {
    auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < resource->width; ++x) line[x] = resource->pixels[static_cast<size_t>(y) * resource->width + x];
  }
  return QPixmap::fromImage(image);
}

}  // namespace platform::widgets
