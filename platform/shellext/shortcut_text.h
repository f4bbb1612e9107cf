// The handheld's shortcut (".lnk") files: short text files "<count>#<command line>", where the
// command line is the target path, possibly in double quotes and possibly followed by
// arguments, and count is the number of characters after "#". For example
//   23#"\Windows\iexplore.exe"
//   40#\Windows\MyApp.exe parameter1 parameter2
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::shellext {

// Shortcut files are a few hundred bytes at most; anything larger is not one.
inline constexpr std::size_t kMaxShortcutFileBytes = 16 * 1024;

// The command line of a shortcut file's bytes, as the shell reports it (quotes and arguments
// kept), or nothing when the bytes are not a shortcut: no decimal count of 1 to 9 digits
// followed by "#", or an empty command line. The count limits the text taken; a count beyond
// the end of the bytes takes what is there, and the text ends at the first line break or zero.
// The text is UTF-8, or, when it is not valid UTF-8, the handheld's Western code page.
std::optional<std::u16string> shortcutCommandLine(std::string_view bytes);

}  // namespace platform::shellext
