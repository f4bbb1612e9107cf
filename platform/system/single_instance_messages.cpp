#include "platform/system/single_instance_messages.h"

#include <QByteArray>
#include <QStringList>

#include "platform/system/qt_units.h"

namespace platform::single_instance {
namespace {

// "-" stands for the empty text, so a text of its own is encoded with its "-" escaped.
QString encode(const std::u16string& text) {
  const QByteArray encoded = platform::unitsToQString(text).toUtf8().toPercentEncoding(QByteArray(), "-");
  return encoded.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(encoded);
}

std::u16string decode(const QString& field) {
  if (field == QLatin1String("-")) return {};
  return QString::fromUtf8(QByteArray::fromPercentEncoding(field.toLatin1())).toStdU16String();
}

bool readFlag(const QString& field, bool& flag) {
  if (field != QLatin1String("0") && field != QLatin1String("1")) return false;
  flag = field == QLatin1String("1");
  return true;
}

bool readNumber(const QString& field, std::uint64_t& number) {
  bool ok = false;
  number = field.toULongLong(&ok);
  return ok;
}

bool readHandle(const QString& field, std::uint64_t& handle) {
  bool ok = false;
  handle = field.toULongLong(&ok);
  return ok && handle != 0;
}

}  // namespace

QString findRequest(const std::u16string& className, bool anyClass, const std::u16string& title, bool anyTitle) {
  return QStringLiteral("FIND %1 %2 %3 %4").arg(anyClass ? 1 : 0).arg(anyTitle ? 1 : 0).arg(encode(className), encode(title));
}

QString raiseRequest(std::uint64_t handle, bool restore) {
  return QStringLiteral("RAISE %1 %2").arg(static_cast<qulonglong>(handle)).arg(restore ? 1 : 0);
}

QString copyDataRequest(std::uint64_t handle, std::uint64_t dataKind, const char* data, std::size_t size) {
  const QByteArray encoded = QByteArray(data, static_cast<qsizetype>(size)).toBase64();
  return QStringLiteral("COPYDATA %1 %2 %3")
      .arg(static_cast<qulonglong>(handle))
      .arg(static_cast<qulonglong>(dataKind))
      .arg(encoded.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(encoded));
}

InstanceRequest parseRequest(const QString& line) {
  InstanceRequest request;
  const QStringList fields = line.trimmed().split(QLatin1Char(' '));
  if (fields.size() == 5 && fields[0] == QLatin1String("FIND") && readFlag(fields[1], request.anyClass) &&
      readFlag(fields[2], request.anyTitle)) {
    request.kind = InstanceRequest::Kind::Find;
    request.className = decode(fields[3]);
    request.title = decode(fields[4]);
  } else if (fields.size() == 3 && fields[0] == QLatin1String("RAISE") && readHandle(fields[1], request.handle) &&
             readFlag(fields[2], request.restore)) {
    request.kind = InstanceRequest::Kind::Raise;
  } else if (fields.size() == 4 && fields[0] == QLatin1String("COPYDATA") && readHandle(fields[1], request.handle) &&
             readNumber(fields[2], request.dataKind)) {
    if (fields[3] != QLatin1String("-")) {
      const auto decoded = QByteArray::fromBase64Encoding(fields[3].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
      if (!decoded || decoded.decoded.isEmpty()) return InstanceRequest{};
      request.data.assign(decoded.decoded.begin(), decoded.decoded.end());
    }
    request.kind = InstanceRequest::Kind::CopyData;
  } else {
    request = InstanceRequest{};
  }
  return request;
}

QString windowReply(std::uint64_t handle) { return QStringLiteral("WINDOW %1").arg(static_cast<qulonglong>(handle)); }

std::uint64_t windowFromReply(const QString& reply) {
  if (!reply.startsWith(QLatin1String("WINDOW "))) return 0;
  bool ok = false;
  const std::uint64_t handle = reply.mid(7).toULongLong(&ok);
  return ok ? handle : 0;
}

QString resultReply(std::int64_t result) { return QStringLiteral("RESULT %1").arg(static_cast<qlonglong>(result)); }

bool resultFromReply(const QString& reply, std::int64_t& result) {
  if (!reply.startsWith(QLatin1String("RESULT "))) return false;
  bool ok = false;
  result = reply.mid(7).toLongLong(&ok);
  return ok;
}

}  // namespace platform::single_instance
