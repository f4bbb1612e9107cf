// One viewer per device, across processes. Each running program listens on a local socket
// whose name comes from the user and the device root. Another start of the viewer on the same
// device asks it, one text line per request:
//   "FIND <anyClass> <anyTitle> <class> <title>"  ->  "WINDOW <handle>" or "NONE"
//   "RAISE <handle> <restore>"                     ->  "RAISED" or "NONE"
// (class and title percent-encoded UTF-8, handle in decimal). The asking process gets a handle
// of its own that stands for the remote window; SetForegroundWindow on it sends RAISE.
#include "platform/system/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <map>
#include <unistd.h>

#include "platform/system/files/device_paths.h"
#include "platform/system/handle_allocator.h"
#include "platform/system/window_records.h"

namespace platform::single_instance {
namespace {

constexpr int kConnectTimeoutMs = 1000;  // a live viewer accepts at once; a stale socket fails at once
constexpr int kReplyTimeoutMs = 3000;    // the other viewer answers from its event loop
constexpr qint64 kMaxRequestBytes = 4096;  // longer requests are not ours: the connection is dropped

struct RemoteWindow {
  std::string server;      // the socket name of the viewer that owns the window
  uintptr_t remoteHandle;  // the window's handle in that process
};

struct InstanceState {
  QPointer<QLocalServer> server;                // our listening socket, when listening
  std::string listeningName;                    // the name it listens under
  std::map<uintptr_t, RemoteWindow> remotes;    // our stand-in handles for other processes' windows
  int raisesHandled = 0;                        // RAISE requests carried out here
};

InstanceState& state() {
  static InstanceState instance;
  return instance;
}

QString encode(const std::u16string& text) {
  const QByteArray encoded = QString::fromStdU16String(text).toUtf8().toPercentEncoding();
  return encoded.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(encoded);
}

std::u16string decode(const QString& field) {
  if (field == QLatin1String("-")) return {};
  return QString::fromUtf8(QByteArray::fromPercentEncoding(field.toLatin1())).toStdU16String();
}

QByteArray answer(const QString& request) {
  const QStringList fields = request.split(QLatin1Char(' '));
  if (fields.size() == 5 && fields[0] == QLatin1String("FIND")) {
    const HWND found = windows::findLocalTopLevel(decode(fields[3]), fields[1] == QLatin1String("1"),
                                                  decode(fields[4]), fields[2] == QLatin1String("1"));
    if (found == nullptr) return "NONE\n";
    return "WINDOW " + QByteArray::number(static_cast<qulonglong>(handles::handleValue(found))) + "\n";
  }
  if (fields.size() == 3 && fields[0] == QLatin1String("RAISE")) {
    bool ok = false;
    const qulonglong value = fields[1].toULongLong(&ok);
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
    const auto record = windows::findWindow(hwnd);
    if (!ok || !record || record->isChild()) return "NONE\n";
    const bool restore = fields[2] == QLatin1String("1");
    SetForegroundWindow(restore ? reinterpret_cast<HWND>(static_cast<uintptr_t>(value) | 1) : hwnd);
    ++state().raisesHandled;
    return "RAISED\n";
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
  // A viewer that answers owns this device; a socket that nobody answers is left over from a
  // viewer that ended without cleaning up, and is removed.
  {
    QLocalSocket probe;
    probe.connectToServer(QString::fromStdString(name));
    if (probe.waitForConnected(kConnectTimeoutMs)) return false;
  }
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

void stopListening() {
  if (!state().server.isNull()) {
    state().server->close();
    delete state().server.data();
  }
  state().server = nullptr;
  state().listeningName.clear();
}

HWND findRemoteWindow(const std::u16string& className, bool anyClass, const std::u16string& title, bool anyTitle) {
  const std::string name = serverName();
  // This process answers for the device itself: there is no other viewer to ask.
  if (isListeningFor(name)) return nullptr;
  const QString request = QStringLiteral("FIND %1 %2 %3 %4")
                              .arg(anyClass ? 1 : 0)
                              .arg(anyTitle ? 1 : 0)
                              .arg(encode(className), encode(title));
  const QString reply = ask(name, request);
  if (!reply.startsWith(QLatin1String("WINDOW "))) return nullptr;
  bool ok = false;
  const qulonglong remote = reply.mid(7).toULongLong(&ok);
  if (!ok || remote == 0) return nullptr;
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
  const QString request = QStringLiteral("RAISE %1 %2")
                              .arg(static_cast<qulonglong>(it->second.remoteHandle))
                              .arg(restore ? 1 : 0);
  return ask(it->second.server, request) == QLatin1String("RAISED");
}

int raiseRequestsHandled() { return state().raisesHandled; }

}  // namespace platform::single_instance
