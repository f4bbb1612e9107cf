// The file associations in the registry, under the classes root. The viewer registers a
// document type of its own, "Quillscope", with an icon and two open commands; an extension is
// associated when the "Default" value of its key begins with "Quillscope". What each extension
// had before is kept under "Quillscope" as ".txtDefault", ".pdbDefault" and so on, so that it
// can be handed back.
//
// Every value is a string written with its terminating zero ((length + 1) x 2 bytes). Each
// operation opens the keys it needs and closes them before it returns.
#pragma once

#include <string>

// One of the five extensions and where it appears.
struct AssociatedExtension {
  const char16_t* extension;       // the key's name, ".txt"
  const char16_t* savedValueName;  // the value under "Quillscope" that keeps its previous handler
  int checkBox;                    // its box in the EXTENSIONS dialog
  int flagIndex;                   // its place among the dialog's flags (.txt .pdb .prc .doc .psw)
};

inline constexpr int kAssociatedExtensionCount = 5;
// The five in the order in which they are read and written: .txt, .pdb, .prc, .psw, .doc.
extern const AssociatedExtension kAssociatedExtensions[kAssociatedExtensionCount];

inline constexpr char16_t kDocumentTypeKey[] = u"Quillscope";
inline constexpr char16_t kDefaultValueName[] = u"Default";  // a named value, never the key's unnamed one
inline constexpr char16_t kDocumentIcon[] = u"\\Windows\\pword.exe, -110";                         // 24 units
inline constexpr char16_t kOpenCommand[] = u"\"\\Program Files\\Quillscope\\Quillscope.exe\" %1";  // 45 units

// Whether the extension's "Default" value begins with "Quillscope". A missing extension key is
// created, empty, and answers no.
bool isAssociated(const char16_t* extension);

// The extension's "Default" value as it stands, to be kept as its previous handler: the empty
// string when the key is new, the value is missing or cannot be read, and when the value names
// the viewer itself (keeping that would make handing the extension back keep it associated).
// A value is read whole, whatever its length.
std::u16string readPreviousHandler(const char16_t* extension);

// Writes `text` as the value `valueName` under "Quillscope". Returns whether it was written.
bool saveValue(const char16_t* valueName, const std::u16string& text);

// The first registration: the icon, the two open commands, and the five previous handlers.
void registerDocumentType();

// Makes the extension's "Default" value "Quillscope". The handler it had is kept first (under
// its saved-value name), unless it already names the viewer, so that handing it back gives the
// latest handler. A "Default" value that cannot be read as a string (another kind of value, or
// one without its terminating zero) belongs to something else and is left alone, as is every
// value when the handler could not be kept. Returns whether the extension is now associated.
bool associate(const char16_t* extension);

// Writes the extension's saved previous handler back as its "Default" value (the empty string
// when nothing usable was saved). Returns whether it was written.
bool restorePreviousHandler(const char16_t* extension);
