// Fuzzes the single-instance channel's messages: any line read as a request, and any class and
// title (UTF-16, split where the input says) written into a request and read back. A request
// that was read must read back the same once written again; a class and a title must come back
// as written (as UTF-8 can carry them: a lone surrogate becomes U+FFFD); handles survive a
// WINDOW reply; any block of bytes survives a COPYDATA request, and results a RESULT reply.
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/system/qt_units.h"
#include "platform/system/single_instance_messages.h"

using namespace platform::single_instance;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool sameRequest(const InstanceRequest& a, const InstanceRequest& b) {
  return a.kind == b.kind && a.anyClass == b.anyClass && a.anyTitle == b.anyTitle && a.className == b.className &&
         a.title == b.title && a.handle == b.handle && a.restore == b.restore && a.dataKind == b.dataKind &&
         a.data == b.data;
}

std::u16string asUtf8Carries(const std::u16string& text) {
  return QString::fromUtf8(platform::unitsToQString(text).toUtf8()).toStdU16String();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 4096) return 0;
  const uint8_t flags = data[0];
  data += 1;
  size -= 1;

  const InstanceRequest read = parseRequest(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  if (read.kind == InstanceRequest::Kind::Find) {
    check(sameRequest(parseRequest(findRequest(read.className, read.anyClass, read.title, read.anyTitle)), read));
  } else if (read.kind == InstanceRequest::Kind::Raise) {
    check(read.handle != 0);
    check(sameRequest(parseRequest(raiseRequest(read.handle, read.restore)), read));
  } else if (read.kind == InstanceRequest::Kind::CopyData) {
    check(read.handle != 0);
    check(sameRequest(parseRequest(copyDataRequest(read.handle, read.dataKind, read.data.data(), read.data.size())), read));
  }

  std::u16string units;
  for (size_t i = 0; i + 1 < size; i += 2) units += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  const size_t split = units.empty() ? 0 : flags % (units.size() + 1);
  const std::u16string className = units.substr(0, split);
  const std::u16string title = units.substr(split);
  const InstanceRequest find = parseRequest(findRequest(className, flags & 1, title, flags & 2));
  check(find.kind == InstanceRequest::Kind::Find);
  check(find.className == asUtf8Carries(className) && find.title == asUtf8Carries(title));
  check(find.anyClass == ((flags & 1) != 0) && find.anyTitle == ((flags & 2) != 0));

  uint64_t handle = 0;
  for (size_t i = 0; i < 8 && i < size; ++i) handle = handle << 8 | data[i];
  if (handle != 0) {
    check(windowFromReply(windowReply(handle)) == handle);
    const InstanceRequest raise = parseRequest(raiseRequest(handle, flags & 4));
    check(raise.kind == InstanceRequest::Kind::Raise && raise.handle == handle && raise.restore == ((flags & 4) != 0));
    const InstanceRequest copy = parseRequest(copyDataRequest(handle, flags, reinterpret_cast<const char*>(data), size));
    check(copy.kind == InstanceRequest::Kind::CopyData && copy.handle == handle && copy.dataKind == flags);
    check(copy.data == std::vector<char>(data, data + size));
    std::int64_t result = 0;
    check(resultFromReply(resultReply(static_cast<std::int64_t>(handle)), result) &&
          result == static_cast<std::int64_t>(handle));
  }
  return 0;
}
