#include "app/position_store.h"

#include <algorithm>


namespace {

constexpr WCHAR kProgramFolderParent[] = u"\\Program Files";
constexpr WCHAR kProgramFolder[] = u"\\Program Files\\Quillscope";

// The whole file, or nothing when it cannot be read or is larger than a full store can be.
std::optional<std::string> readStoreFile() {
  HANDLE file = CreateFile(kPositionsPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  constexpr DWORD kLargestStore = 16 + position_file::kCapacity * (2 + 2 * 1023 + 16);
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  std::optional<std::string> bytes;
  if (high == 0 && size <= kLargestStore) {
    std::string content(size, '\0');
    DWORD read = 0;
    if (ReadFile(file, content.data(), size, &read, nullptr) && read == size) bytes = std::move(content);
  }
  CloseHandle(file);
  return bytes;
}

}  // namespace

void PositionStore::loadOnce() {
  if (loaded_) return;
  loaded_ = true;
  const std::optional<std::string> bytes = readStoreFile();
  if (!bytes) return;
  auto parsed = position_file::parse(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
  if (parsed) entries_ = std::move(*parsed);
}

const std::vector<StoredPosition>& PositionStore::entries() {
  loadOnce();
  return entries_;
}

const StoredPosition* PositionStore::find(const std::u16string& path) {
  loadOnce();
  const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const StoredPosition& e) { return e.path == path; });
  return it == entries_.end() ? nullptr : &*it;
}

void PositionStore::remember(const StoredPosition& entry) {
  loadOnce();
  std::erase_if(entries_, [&](const StoredPosition& e) { return e.path == entry.path; });
  entries_.insert(entries_.begin(), entry);
  if (entries_.size() > position_file::kCapacity) entries_.resize(position_file::kCapacity);
  save();
}

bool PositionStore::save() const {
  const std::string bytes = position_file::serialize(entries_);
  // The program folder may not be there yet (no settings saved so far).
  CreateDirectory(kProgramFolderParent, nullptr);
  CreateDirectory(kProgramFolder, nullptr);
  HANDLE temporary =
      CreateFile(kPositionsSavePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (temporary == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool complete = WriteFile(temporary, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size() && FlushFileBuffers(temporary);
  CloseHandle(temporary);
  // The one-step replacement needs a file to replace: the first save makes an empty one.
  if (complete && GetFileAttributes(kPositionsPath) == INVALID_FILE_ATTRIBUTES) {
    HANDLE first = CreateFile(kPositionsPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (first != INVALID_HANDLE_VALUE) CloseHandle(first);
  }
  if (!complete || !DeleteAndRenameFile(kPositionsPath, kPositionsSavePath)) {
    DeleteFile(kPositionsSavePath);
    return false;
  }
  return true;
}
