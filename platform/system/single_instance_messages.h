// The single-instance channel's messages, one text line each (see single_instance.cpp):
//   "FIND <anyClass> <anyTitle> <class> <title>"  ->  "WINDOW <handle>" or "NONE"
//   "RAISE <handle> <restore>"                     ->  "RAISED" or "NONE"
//   "COPYDATA <handle> <kind> <bytes>"             ->  "RESULT <result>" or "NONE"
// (the window's WM_COPYDATA: the bytes in base64, "-" for none; kind and result in decimal).
// Class and title are percent-encoded UTF-8 ("-" for an empty text), flags 0 or 1, handles in
// decimal. Writing and reading them needs nothing but text.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::single_instance {

// One request as read from a line.
struct InstanceRequest {
  enum class Kind { Invalid, Find, Raise, CopyData };
  Kind kind = Kind::Invalid;   // what is asked; Invalid for any line that is neither request
  bool anyClass = false;       // FIND: the class is not compared
  bool anyTitle = false;       // FIND: the title is not compared
  std::u16string className;    // FIND: the wanted class
  std::u16string title;        // FIND: the wanted title
  std::uint64_t handle = 0;    // RAISE: the window, as its owner numbers it
  bool restore = false;        // RAISE: restore it from the minimised state too
  std::uint64_t dataKind = 0;  // COPYDATA: the block's dwData
  std::vector<char> data;      // COPYDATA: the block's bytes
};

QString findRequest(const std::u16string& className, bool anyClass, const std::u16string& title, bool anyTitle);
QString raiseRequest(std::uint64_t handle, bool restore);
QString copyDataRequest(std::uint64_t handle, std::uint64_t dataKind, const char* data, std::size_t size);
// Reads a request line (without its line end; surrounding spaces are ignored).
InstanceRequest parseRequest(const QString& line);

QString windowReply(std::uint64_t handle);
// The handle of a "WINDOW <handle>" reply; 0 for any other reply.
std::uint64_t windowFromReply(const QString& reply);
QString resultReply(std::int64_t result);
// The result of a "RESULT <result>" reply; nothing for any other reply.
bool resultFromReply(const QString& reply, std::int64_t& result);

}  // namespace platform::single_instance
