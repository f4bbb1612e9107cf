// One viewer per device, across processes. Each running program listens on a local socket
// whose name comes from the user and the device root. Another start of the viewer on the same
// device asks it, one text line per request:
//   "FIND <anyClass> <anyTitle> <class> <title>"  ->  "WINDOW <handle>" or "NONE"
//   "RAISE <handle> <restore>"                     ->  "RAISED" or "NONE"
//   "COPYDATA <handle> <kind> <bytes>"             ->  "RESULT <result>" or "NONE"
// (class and title percent-encoded UTF-8, handle in decimal, bytes in base64). The asking process gets a handle
// of its own that stands for the remote window; SetForegroundWindow on it sends RAISE.
//
// The device is claimed before anything listens: a lock on a file beside the socket, held for
// the viewer's whole life and let go by the system when the process ends however it ends (the
// file stays behind only then). Only
// the holder removes a socket file and listens, so starts that race never delete each other's
// socket, and a socket left by a killed viewer is taken over by the next start that claims. A
// start that finds the device claimed waits for the holder's window (it may still be creating
// it, behind its first-run dialog) and claims the device itself should the holder end first.
#include "platform/system/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <chrono>
#include <map>
#include <thread>
#include <vector>

#include "platform/system/device_screen.h"
#include "platform/system/files/device_paths.h"
#include "platform/system/handle_allocator.h"
#include "platform/system/single_instance_messages.h"
#include "platform/system/window_records.h"

namespace platform::single_instance {
namespace {

constexpr int kConnectTimeoutMs = 1000;  // a live viewer accepts at once; a stale socket fails at once
constexpr int kReplyTimeoutMs = 3000;    // the other viewer answers from its event loop
constexpr qint64 kMaxRequestBytes = 4096;  // longer requests are not ours: the connection is dropped
// How long a start that found the device claimed waits for the holder's main window. The holder
// answers with it from the moment its creation begins; this covers the holder's own start-up.
constexpr auto kClaimedWaitLimit = std::chrono::seconds(20);
constexpr auto kClaimedPollInterval = std::chrono::milliseconds(50);

struct RemoteWindow {
  std::string server;      // the socket name of the viewer that owns the window
  uintptr_t remoteHandle;  // the window's handle in that process
};

struct InstanceState {
  int claimDescriptor = -1;                     // owned: the locked claim file while this process holds the device
  std::string claimedName;                      // the socket name the claim is for
  bool claimRefused = false;                    // startListening found the device claimed by another viewer
  QPointer<QLocalServer> server;                // our listening socket, when listening
  std::string listeningName;                    // the name it listens under
  std::map<uintptr_t, RemoteWindow> remotes;    // our stand-in handles for other processes' windows
  int raisesHandled = 0;                        // RAISE requests carried out here
};

InstanceState& state() {
  static InstanceState instance;
  return instance;
}

QByteArray answer(const QString& line) {
  const InstanceRequest request = parseRequest(line);
  if (request.kind == InstanceRequest::Kind::Find) {
    // A window still in its creation counts: the viewer it belongs to is running.
    const HWND found =
        windows::findLocalTopLevel(request.className, request.anyClass, request.title, request.anyTitle, true);
    if (found == nullptr) return "NONE\n";
    return windowReply(handles::handleValue(found)).toLatin1() + "\n";
  }
  if (request.kind == InstanceRequest::Kind::Raise) {
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(request.handle));
    const auto record = windows::findWindow(hwnd);
    if (!record || record->isChild() || record->destroyed) return "NONE\n";
    if (record->created) {
      SetForegroundWindow(request.restore ? reinterpret_cast<HWND>(static_cast<uintptr_t>(request.handle) | 1) : hwnd);
    } else {
      widgets::bringDeviceScreenForward();  // still being created: what it shows meanwhile comes forward
    }
    ++state().raisesHandled;
    return "RAISED\n";
  }
  if (request.kind == InstanceRequest::Kind::CopyData) {
    // The window's handler gets a copy of the bytes for the call, as from a sender of this process.
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(request.handle));
    const auto record = windows::findWindow(hwnd);
    if (!record || record->isChild() || record->destroyed) return "NONE\n";
    std::vector<char> bytes = request.data;
    COPYDATASTRUCT block{static_cast<ULONG_PTR>(request.dataKind), static_cast<DWORD>(bytes.size()),
                         bytes.empty() ? nullptr : bytes.data()};
    const LRESULT result = SendMessage(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block));
    return resultReply(result).toLatin1() + "\n";
  }
  return "NONE\n";
}

void serve(QLocalSocket* socket) {
  QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
    while (socket->canReadLine()) {
      const QString request = QString::fromUtf8(socket->readLine()).trimmed();
      socket->write(answer(request));
      socket->flush();
    }
    if (socket->bytesAvailable() > kMaxRequestBytes) socket->abort();
  });
  QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
}

// Sends one request to a server and returns its one-line reply (empty on any failure).
QString ask(const std::string& server, const QString& request) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(server));
  if (!socket.waitForConnected(kConnectTimeoutMs)) return {};
  socket.write((request + QLatin1Char('\n')).toUtf8());
  if (!socket.waitForBytesWritten(kReplyTimeoutMs)) return {};
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(kReplyTimeoutMs)) return {};
    if (socket.bytesAvailable() > kMaxRequestBytes) return {};
  }
  return QString::fromUtf8(socket.readLine()).trimmed();
}

bool isListeningFor(const std::string& name) {
  return !state().server.isNull() && state().server->isListening() && state().listeningName == name;
}

// The claim file of a socket name: beside the socket, in the folder Qt keeps local sockets in.
std::string claimPath(const std::string& name) {
  return QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + QString::fromStdString(name) + QStringLiteral(".lock"))
      .toStdString();
}

void releaseClaim() {
  if (state().claimDescriptor >= 0) {
    // Removed while still locked: a start that opened it meanwhile finds it gone and tries again.
    ::unlink(claimPath(state().claimedName).c_str());
    ::close(state().claimDescriptor);  // closing lets the lock go
  }
  state().claimDescriptor = -1;
  state().claimedName.clear();
}

// Takes the device's claim for this process unless another process holds it. The lock counts
// only on the file that still has the claim's name: one its holder removed on the way out is
// left for a fresh one.
bool claim(const std::string& name) {
  if (state().claimDescriptor >= 0 && state().claimedName == name) return true;
  releaseClaim();
  const std::string path = claimPath(name);
  for (;;) {
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) return false;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
      ::close(descriptor);
      return false;
    }
    struct stat locked {};
    struct stat named {};
    if (::fstat(descriptor, &locked) == 0 && ::stat(path.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
        locked.st_ino == named.st_ino) {
      state().claimDescriptor = descriptor;
      state().claimedName = name;
      return true;
    }
    ::close(descriptor);
  }
}

// Listens under `name` for the claim this process holds; any socket file there is a dead
// viewer's, since a live one would hold the claim.
bool listenClaimed(const std::string& name) {
  QLocalServer::removeServer(QString::fromStdString(name));
  auto* server = new QLocalServer();
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(QString::fromStdString(name))) {
    delete server;
    return false;
  }
  QObject::connect(server, &QLocalServer::newConnection, server, [server] {
    while (QLocalSocket* socket = server->nextPendingConnection()) serve(socket);
  });
  state().server = server;
  state().listeningName = name;
  return true;
}

}  // namespace

std::string serverName() {
  QString user = qEnvironmentVariable("USER");
  if (user.isEmpty()) user = QString::number(getuid());
  const std::string root = files::deviceRoot();
  const QByteArray digest =
      QCryptographicHash::hash(QByteArray::fromStdString(root.empty() ? std::string("desktop") : root),
                               QCryptographicHash::Sha1)
          .toHex()
          .left(12);
  // Only letters, digits and '-' so that the name is a plain file name in the socket folder.
  QString safeUser;
  for (const QChar c : user.left(24)) safeUser += (c.isLetterOrNumber() && c.unicode() < 0x80) ? c : QLatin1Char('_');
  return ("quillscope-" + safeUser + "-" + QString::fromLatin1(digest)).toStdString();
}

bool startListening() {
  const std::string name = serverName();
  if (isListeningFor(name)) return true;
  stopListening();
  if (!claim(name)) {
    state().claimRefused = true;  // another viewer holds the device: FindWindow waits for it
    return false;
  }
  state().claimRefused = false;
  // Without a socket nobody can find this viewer, but it keeps the claim: a second viewer of
  // the device is worse than one that cannot be brought forward.
  return listenClaimed(name);
}

bool holdsClaim() { return state().claimDescriptor >= 0 && state().claimedName == serverName(); }

void stopListening() {
  if (!state().server.isNull()) {
    state().server->close();
    delete state().server.data();
  }
  state().server = nullptr;
  state().listeningName.clear();
  releaseClaim();
  state().claimRefused = false;
}

HWND findRemoteWindow(const std::u16string& className, bool anyClass, const std::u16string& title, bool anyTitle) {
  const std::string name = serverName();
  // This process answers for the device itself: there is no other viewer to ask.
  if (holdsClaim()) return nullptr;
  const QString request = findRequest(className, anyClass, title, anyTitle);
  QString reply = ask(name, request);
  // A start that found the device claimed waits for the holder's window, and becomes the
  // viewer itself (claim and socket) should the holder end first. Other processes ask once.
  const auto until = std::chrono::steady_clock::now() + kClaimedWaitLimit;
  while (state().claimRefused && windowFromReply(reply) == 0 &&
         std::chrono::steady_clock::now() < until) {
    if (claim(name)) {
      state().claimRefused = false;
      listenClaimed(name);
      return nullptr;
    }
    std::this_thread::sleep_for(kClaimedPollInterval);
    reply = ask(name, request);
  }
  const std::uint64_t remote = windowFromReply(reply);
  if (remote == 0) return nullptr;
  for (const auto& [proxy, window] : state().remotes) {
    if (window.server == name && window.remoteHandle == remote) return reinterpret_cast<HWND>(proxy);
  }
  const HWND proxy = handles::allocateHandle<HWND>();
  state().remotes[handles::handleValue(proxy)] = RemoteWindow{name, static_cast<uintptr_t>(remote)};
  return proxy;
}

bool isRemoteWindow(HWND hwnd) { return state().remotes.count(handles::handleValue(hwnd)) != 0; }

bool raiseRemoteWindow(HWND hwnd, bool restore) {
  const auto it = state().remotes.find(handles::handleValue(hwnd));
  if (it == state().remotes.end()) return false;
  return ask(it->second.server, raiseRequest(it->second.remoteHandle, restore)) == QLatin1String("RAISED");
}

bool sendRemoteCopyData(HWND hwnd, const COPYDATASTRUCT& block, LRESULT& result) {
  const auto it = state().remotes.find(handles::handleValue(hwnd));
  if (it == state().remotes.end() || block.cbData > kMaxCopyDataBytes) return false;
  if (block.cbData != 0 && block.lpData == nullptr) return false;
  const QString reply = ask(it->second.server, copyDataRequest(it->second.remoteHandle, block.dwData,
                                                               static_cast<const char*>(block.lpData), block.cbData));
  std::int64_t answer = 0;
  if (!resultFromReply(reply, answer)) return false;
  result = static_cast<LRESULT>(answer);
  return true;
}

int raiseRequestsHandled() { return state().raisesHandled; }

}  // namespace platform::single_instance
