// The registry's SQLite store. See registry_store.h for what it promises.
#include "platform/system/registry/registry_store.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <time.h>

#include <QChar>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <set>

#include "platform/system/files/device_location.h"
#include "platform/system/files/device_paths.h"

namespace platform::registry {
namespace {

constexpr char16_t kDatabaseDevicePath[] = u"\\Program Files\\Quillscope\\registry.db";
constexpr int kApplicationId = 0x5153524B;  // "QSRK": marks the file as this program's registry
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 2000;  // another viewer of the same device may be writing

constexpr const char* kSchema = R"sql(
CREATE TABLE registry_keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,  -- never reused, so a stale handle cannot reach a new key
  parent INTEGER NOT NULL,               -- 0 for the four roots
  name BLOB NOT NULL,                    -- UTF-16LE, as created
  folded BLOB NOT NULL,                  -- UTF-16LE, upper-cased: what names are compared by
  class_name BLOB NOT NULL,
  last_write INTEGER NOT NULL,           -- file time
  UNIQUE(parent, folded));
CREATE TABLE registry_values(
  key INTEGER NOT NULL,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  PRIMARY KEY(key, folded));
INSERT INTO registry_keys(id, parent, name, folded, class_name, last_write) VALUES
  (1, 0, x'', x'01', x'', 0), (2, 0, x'', x'02', x'', 0), (3, 0, x'', x'03', x'', 0), (4, 0, x'', x'04', x'', 0);
)sql";

// The open database and what it was opened from. Guarded by storeMutex().
struct StoreState {
  sqlite3* db = nullptr;          // the open connection, or none; owned
  std::string path;               // the host path it was opened from
  dev_t device = 0;               // the file's identity when opened: a file replaced or removed
  ino_t inode = 0;                //   behind the store's back is opened afresh
  std::set<std::string> warned;   // database files already reported as damaged
};

std::mutex& storeMutex() {
  static std::mutex mutex;
  return mutex;
}
StoreState& state() {
  static StoreState instance;
  return instance;
}

std::string bytesOf(const std::u16string& text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::u16string textOf(const void* blob, int size) {
  const auto* bytes = static_cast<const unsigned char*>(blob);
  std::u16string text;
  for (int i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  return text;
}

// Names compare unit by unit after upper-casing, as the handheld's registry compares them.
std::string foldedBytesOf(const std::u16string& name) {
  std::u16string folded = name;
  for (char16_t& unit : folded) unit = QChar(unit).toUpper().unicode();
  return bytesOf(folded);
}

std::uint64_t fileTimeNow() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return (static_cast<std::uint64_t>(now.tv_sec) + 11644473600ull) * 10000000ull +
         static_cast<std::uint64_t>(now.tv_nsec) / 100;
}

LONG errorFromSqlite(int code) {
  switch (code & 0xFF) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
      return ERROR_SUCCESS;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
    case SQLITE_SCHEMA:
      return static_cast<LONG>(ERROR_REGISTRY_CORRUPT);
    case SQLITE_NOMEM:
      return static_cast<LONG>(ERROR_NOT_ENOUGH_MEMORY);
    case SQLITE_FULL:
      return static_cast<LONG>(ERROR_DISK_FULL);
    default:
      return static_cast<LONG>(ERROR_REGISTRY_IO_FAILED);
  }
}

void warnOnce(const std::string& path, const char* what) {
  if (!state().warned.insert(path).second) return;
  std::fprintf(stderr, "quillscope: the registry database %s %s; it is left untouched\n", path.c_str(), what);
}

// A prepared statement, finalised when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { status_ = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr); }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  int status() const { return status_; }
  void bind(int index, std::int64_t value) {
    if (status_ == SQLITE_OK) status_ = sqlite3_bind_int64(statement_, index, value);
  }
  void bindBlob(int index, const void* data, std::size_t size) {
    // A zero-length blob still binds as a blob (not NULL), so NOT NULL columns accept it.
    static const char kEmpty = 0;
    if (status_ == SQLITE_OK) {
      status_ = sqlite3_bind_blob(statement_, index, size == 0 ? &kEmpty : data, static_cast<int>(size), SQLITE_TRANSIENT);
    }
  }
  void bindBlob(int index, const std::string& bytes) { bindBlob(index, bytes.data(), bytes.size()); }
  // SQLITE_ROW, SQLITE_DONE or an error.
  int step() {
    if (status_ != SQLITE_OK && status_ != SQLITE_ROW) return status_;
    status_ = sqlite3_step(statement_);
    return status_;
  }
  std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
  const void* blob(int column) const { return sqlite3_column_blob(statement_, column); }
  int size(int column) const { return sqlite3_column_bytes(statement_, column); }

 private:
  sqlite3_stmt* statement_ = nullptr;  // owned
  int status_ = SQLITE_OK;             // the first failure, or the last step's result
};

int execute(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

// One write transaction: committed by commit(), rolled back otherwise.
class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db) { status_ = execute(db_, "BEGIN IMMEDIATE"); }
  ~Transaction() {
    if (status_ == SQLITE_OK && !committed_) execute(db_, "ROLLBACK");
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  int status() const { return status_; }
  int commit() {
    const int result = execute(db_, "COMMIT");
    committed_ = result == SQLITE_OK;
    return result;
  }

 private:
  sqlite3* db_;            // borrowed connection
  int status_;             // result of BEGIN
  bool committed_ = false;  // COMMIT succeeded
};

void closeLocked() {
  if (state().db != nullptr) sqlite3_close_v2(state().db);
  state().db = nullptr;
  state().path.clear();
}

bool pragmaInteger(sqlite3* db, const char* sql, std::int64_t& value, int& status) {
  Statement statement(db, sql);
  status = statement.step();
  if (status != SQLITE_ROW) return false;
  value = statement.integer(0);
  status = SQLITE_OK;
  return true;
}

// Checks that an opened file is this program's registry, or makes a new empty file one.
LONG adoptDatabase(sqlite3* db, const std::string& path) {
  int status = SQLITE_OK;
  std::int64_t applicationId = 0;
  std::int64_t version = 0;
  std::int64_t tables = 0;
  if (!pragmaInteger(db, "PRAGMA application_id", applicationId, status) ||
      !pragmaInteger(db, "PRAGMA user_version", version, status) ||
      !pragmaInteger(db, "SELECT count(*) FROM sqlite_master", tables, status)) {
    const LONG error = errorFromSqlite(status);
    if (error == static_cast<LONG>(ERROR_REGISTRY_CORRUPT)) warnOnce(path, "is damaged or not a database");
    return error;
  }
  if (applicationId == 0 && version == 0 && tables == 0) {
    Transaction transaction(db);
    if (transaction.status() != SQLITE_OK) return errorFromSqlite(transaction.status());
    // The check is repeated inside the transaction: another viewer may have made it meanwhile.
    if (!pragmaInteger(db, "SELECT count(*) FROM sqlite_master", tables, status)) return errorFromSqlite(status);
    if (tables == 0) {
      int result = execute(db, kSchema);
      const std::string stamp = "PRAGMA application_id = " + std::to_string(kApplicationId) +
                                "; PRAGMA user_version = " + std::to_string(kSchemaVersion);
      if (result == SQLITE_OK) result = execute(db, stamp.c_str());
      if (result != SQLITE_OK) return errorFromSqlite(result);
      const int committed = transaction.commit();
      if (committed != SQLITE_OK) return errorFromSqlite(committed);
      return ERROR_SUCCESS;
    }
    if (!pragmaInteger(db, "PRAGMA application_id", applicationId, status) ||
        !pragmaInteger(db, "PRAGMA user_version", version, status)) {
      return errorFromSqlite(status);
    }
  }
  if (applicationId != kApplicationId || version != kSchemaVersion) {
    warnOnce(path, "is not a registry of this program");
    return static_cast<LONG>(ERROR_REGISTRY_CORRUPT);
  }
  std::string verdict;
  {
    Statement check(db, "PRAGMA quick_check");
    if (check.step() == SQLITE_ROW) verdict.assign(static_cast<const char*>(check.blob(0)), static_cast<std::size_t>(check.size(0)));
    else return errorFromSqlite(check.status());
  }
  if (verdict != "ok") {
    warnOnce(path, "is damaged");
    return static_cast<LONG>(ERROR_REGISTRY_CORRUPT);
  }
  return ERROR_SUCCESS;
}

// The connection for the current device, opened when needed. The caller holds storeMutex().
LONG connection(sqlite3*& db) {
  db = nullptr;
  const std::string path = currentDatabasePath();
  struct stat st {};
  const bool fileExists = ::stat(path.c_str(), &st) == 0;
  if (state().db != nullptr && state().path == path && fileExists && st.st_dev == state().device &&
      st.st_ino == state().inode) {
    db = state().db;
    return ERROR_SUCCESS;
  }
  closeLocked();
  // Sandbox mode: a program folder that leads out of the device through a link is not there.
  if (!files::isInsideDevice(path)) return static_cast<LONG>(ERROR_REGISTRY_IO_FAILED);
  const QString folder = QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).absolutePath();
  if (!QDir().mkpath(folder)) return static_cast<LONG>(ERROR_REGISTRY_IO_FAILED);

  sqlite3* opened = nullptr;
  // The database is never opened, or created, through a link of that name.
  const int status = sqlite3_open_v2(
      path.c_str(), &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW,
      nullptr);
  if (status != SQLITE_OK) {
    sqlite3_close_v2(opened);
    return errorFromSqlite(status == SQLITE_CANTOPEN ? SQLITE_IOERR : status);
  }
  sqlite3_busy_timeout(opened, kBusyTimeoutMs);
  sqlite3_extended_result_codes(opened, 1);
  // The rollback journal and full syncs: a committed change is on disk, an interrupted one is
  // rolled back when the database is next opened.
  execute(opened, "PRAGMA synchronous = FULL");
  const LONG adopted = adoptDatabase(opened, path);
  if (adopted != ERROR_SUCCESS) {
    sqlite3_close_v2(opened);
    return adopted;
  }
  if (::stat(path.c_str(), &st) != 0) {
    sqlite3_close_v2(opened);
    return static_cast<LONG>(ERROR_REGISTRY_IO_FAILED);
  }
  state().db = opened;
  state().path = path;
  state().device = st.st_dev;
  state().inode = st.st_ino;
  db = opened;
  return ERROR_SUCCESS;
}

LONG findChild(sqlite3* db, KeyId parent, const std::u16string& name, KeyId& child) {
  Statement find(db, "SELECT id FROM registry_keys WHERE parent = ? AND folded = ?");
  find.bind(1, parent);
  find.bindBlob(2, foldedBytesOf(name));
  const int status = find.step();
  if (status == SQLITE_ROW) {
    child = find.integer(0);
    return ERROR_SUCCESS;
  }
  if (status == SQLITE_DONE) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
  return errorFromSqlite(status);
}

LONG keyExistsIn(sqlite3* db, KeyId key) {
  Statement find(db, "SELECT 1 FROM registry_keys WHERE id = ?");
  find.bind(1, key);
  const int status = find.step();
  if (status == SQLITE_ROW) return ERROR_SUCCESS;
  if (status == SQLITE_DONE) return static_cast<LONG>(ERROR_KEY_DELETED);
  return errorFromSqlite(status);
}

int touchKey(sqlite3* db, KeyId key) {
  Statement touch(db, "UPDATE registry_keys SET last_write = ? WHERE id = ?");
  touch.bind(1, static_cast<std::int64_t>(fileTimeNow()));
  touch.bind(2, key);
  const int status = touch.step();
  return status == SQLITE_DONE ? SQLITE_OK : status;
}

// Runs `body` with the connection, under the store's lock.
template <typename Body>
LONG withStore(Body body) {
  std::lock_guard<std::mutex> lock(storeMutex());
  sqlite3* db = nullptr;
  const LONG opened = connection(db);
  if (opened != ERROR_SUCCESS) return opened;
  const LONG result = body(db);
  if (result == static_cast<LONG>(ERROR_REGISTRY_CORRUPT)) closeLocked();  // check afresh next time
  return result;
}

}  // namespace

std::string currentDatabasePath() { return files::hostPathFor(kDatabaseDevicePath); }

void closeRegistryStore() {
  std::lock_guard<std::mutex> lock(storeMutex());
  closeLocked();
}

LONG keyExists(KeyId key) {
  return withStore([&](sqlite3* db) { return keyExistsIn(db, key); });
}

LONG openKeyPath(KeyId base, const std::vector<std::u16string>& names, KeyId& key) {
  return withStore([&](sqlite3* db) {
    LONG status = keyExistsIn(db, base);
    KeyId current = base;
    for (std::size_t i = 0; status == ERROR_SUCCESS && i < names.size(); ++i) status = findChild(db, current, names[i], current);
    if (status == ERROR_SUCCESS) key = current;
    return status;
  });
}

LONG createKeyPath(KeyId base, const std::vector<std::u16string>& names, const std::u16string& className, KeyId& key,
                   bool& created) {
  return withStore([&](sqlite3* db) -> LONG {
    Transaction transaction(db);
    if (transaction.status() != SQLITE_OK) return errorFromSqlite(transaction.status());
    LONG status = keyExistsIn(db, base);
    if (status != ERROR_SUCCESS) return status;
    KeyId current = base;
    bool madeLast = false;
    for (const std::u16string& name : names) {
      status = findChild(db, current, name, current);
      madeLast = false;
      if (status == ERROR_SUCCESS) continue;
      if (status != static_cast<LONG>(ERROR_FILE_NOT_FOUND)) return status;
      Statement insert(db, "INSERT INTO registry_keys(parent, name, folded, class_name, last_write) VALUES(?, ?, ?, ?, ?)");
      insert.bind(1, current);
      insert.bindBlob(2, bytesOf(name));
      insert.bindBlob(3, foldedBytesOf(name));
      insert.bindBlob(4, &name == &names.back() ? bytesOf(className) : std::string());
      insert.bind(5, static_cast<std::int64_t>(fileTimeNow()));
      if (insert.step() != SQLITE_DONE) return errorFromSqlite(insert.status());
      current = sqlite3_last_insert_rowid(db);
      madeLast = true;
    }
    const int committed = transaction.commit();
    if (committed != SQLITE_OK) return errorFromSqlite(committed);
    key = current;
    created = madeLast;
    return ERROR_SUCCESS;
  });
}

LONG queryValue(KeyId key, const std::u16string& valueName, StoredValue& value) {
  return withStore([&](sqlite3* db) -> LONG {
    const LONG exists = keyExistsIn(db, key);
    if (exists != ERROR_SUCCESS) return exists;
    Statement find(db, "SELECT type, data FROM registry_values WHERE key = ? AND folded = ?");
    find.bind(1, key);
    find.bindBlob(2, foldedBytesOf(valueName));
    const int status = find.step();
    if (status == SQLITE_DONE) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    if (status != SQLITE_ROW) return errorFromSqlite(status);
    value.type = static_cast<DWORD>(find.integer(0));
    const auto* bytes = static_cast<const BYTE*>(find.blob(1));
    value.data.assign(bytes, bytes + find.size(1));
    return ERROR_SUCCESS;
  });
}

LONG setValue(KeyId key, const std::u16string& valueName, DWORD type, const BYTE* data, std::size_t size) {
  return withStore([&](sqlite3* db) -> LONG {
    Transaction transaction(db);
    if (transaction.status() != SQLITE_OK) return errorFromSqlite(transaction.status());
    const LONG exists = keyExistsIn(db, key);
    if (exists != ERROR_SUCCESS) return exists;
    Statement write(db, "INSERT OR REPLACE INTO registry_values(key, name, folded, type, data) VALUES(?, ?, ?, ?, ?)");
    write.bind(1, key);
    write.bindBlob(2, bytesOf(valueName));
    write.bindBlob(3, foldedBytesOf(valueName));
    write.bind(4, type);
    write.bindBlob(5, data, size);
    if (write.step() != SQLITE_DONE) return errorFromSqlite(write.status());
    const int touched = touchKey(db, key);
    if (touched != SQLITE_OK) return errorFromSqlite(touched);
    return errorFromSqlite(transaction.commit());
  });
}

LONG deleteValue(KeyId key, const std::u16string& valueName) {
  return withStore([&](sqlite3* db) -> LONG {
    Transaction transaction(db);
    if (transaction.status() != SQLITE_OK) return errorFromSqlite(transaction.status());
    const LONG exists = keyExistsIn(db, key);
    if (exists != ERROR_SUCCESS) return exists;
    Statement erase(db, "DELETE FROM registry_values WHERE key = ? AND folded = ?");
    erase.bind(1, key);
    erase.bindBlob(2, foldedBytesOf(valueName));
    if (erase.step() != SQLITE_DONE) return errorFromSqlite(erase.status());
    if (sqlite3_changes(db) == 0) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    const int touched = touchKey(db, key);
    if (touched != SQLITE_OK) return errorFromSqlite(touched);
    return errorFromSqlite(transaction.commit());
  });
}

LONG deleteKey(KeyId key) {
  return withStore([&](sqlite3* db) -> LONG {
    if (key <= kUsersId) return static_cast<LONG>(ERROR_ACCESS_DENIED);  // the roots stay
    Transaction transaction(db);
    if (transaction.status() != SQLITE_OK) return errorFromSqlite(transaction.status());
    const LONG exists = keyExistsIn(db, key);
    if (exists != ERROR_SUCCESS) return exists == static_cast<LONG>(ERROR_KEY_DELETED) ? static_cast<LONG>(ERROR_FILE_NOT_FOUND) : exists;
    Statement children(db, "SELECT 1 FROM registry_keys WHERE parent = ? LIMIT 1");
    children.bind(1, key);
    const int status = children.step();
    if (status == SQLITE_ROW) return static_cast<LONG>(ERROR_ACCESS_DENIED);
    if (status != SQLITE_DONE) return errorFromSqlite(status);
    Statement eraseValues(db, "DELETE FROM registry_values WHERE key = ?");
    eraseValues.bind(1, key);
    if (eraseValues.step() != SQLITE_DONE) return errorFromSqlite(eraseValues.status());
    Statement eraseKey(db, "DELETE FROM registry_keys WHERE id = ?");
    eraseKey.bind(1, key);
    if (eraseKey.step() != SQLITE_DONE) return errorFromSqlite(eraseKey.status());
    return errorFromSqlite(transaction.commit());
  });
}

LONG enumerateSubkey(KeyId key, DWORD index, StoredKey& subkey) {
  return withStore([&](sqlite3* db) -> LONG {
    const LONG exists = keyExistsIn(db, key);
    if (exists != ERROR_SUCCESS) return exists;
    Statement list(db, "SELECT name, class_name, last_write FROM registry_keys WHERE parent = ? ORDER BY folded, name "
                       "LIMIT 1 OFFSET ?");
    list.bind(1, key);
    list.bind(2, static_cast<std::int64_t>(index));
    const int status = list.step();
    if (status == SQLITE_DONE) return static_cast<LONG>(ERROR_NO_MORE_ITEMS);
    if (status != SQLITE_ROW) return errorFromSqlite(status);
    subkey.name = textOf(list.blob(0), list.size(0));
    subkey.className = textOf(list.blob(1), list.size(1));
    subkey.lastWrite = static_cast<std::uint64_t>(list.integer(2));
    return ERROR_SUCCESS;
  });
}

}  // namespace platform::registry
