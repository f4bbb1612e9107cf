// The single-instance channel's messages, one text line each (see single_instance.cpp):
//   "FIND <anyClass> <anyTitle> <class> <title>"  ->  "WINDOW <handle>" or "NONE"
//   "RAISE <handle> <restore>"                     ->  "RAISED" or "NONE"
// Class and title are percent-encoded UTF-8 ("-" for an empty text), flags 0 or 1, handles in
// decimal. Writing and reading them needs nothing but text.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

namespace platform::single_instance {

// One request as read from a line.
struct InstanceRequest {
  enum class Kind { Invalid, Find, Raise };
  Kind kind = Kind::Invalid;   // what is asked; Invalid for any line that is neither request
  bool anyClass = false;       // FIND: the class is not compared
  bool anyTitle = false;       // FIND: the title is not compared
  std::u16string className;    // FIND: the wanted class
  std::u16string title;        // FIND: the wanted title
  std::uint64_t handle = 0;    // RAISE: the window, as its owner numbers it
  bool restore = false;        // RAISE: restore it from the minimised state too
};

QString findRequest(const std::u16string& className, bool anyClass, const std::u16string& title, bool anyTitle);
QString raiseRequest(std::uint64_t handle, bool restore);
// Reads a request line (without its line end; surrounding spaces are ignored).
InstanceRequest parseRequest(const QString& line);

QString windowReply(std::uint64_t handle);
// The handle of a "WINDOW <handle>" reply; 0 for any other reply.
std::uint64_t windowFromReply(const QString& reply);

}  // namespace platform::single_instance
