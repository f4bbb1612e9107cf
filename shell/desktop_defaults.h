// The desktop's own defaults follow the associations: the registry is the program's own store,
// which no file manager reads. In desktop mode, when OK associated or handed back extensions,
// the viewer becomes, or stops being, the desktop's default application for their MIME types.
// In sandbox mode the platform touches nothing.
#pragma once

#include <vector>

// The MIME types of one of the five extensions, as the shared MIME database names them.
std::vector<const char16_t*> mimeTypesOf(const char16_t* extension);

// `associatedNow`: the extensions OK associated; `handedBack`: those it handed back;
// `stillAssociated`: every extension associated after OK. A MIME type shared by a handed-back
// extension and one that stays associated (.pdb and .prc) stays the viewer's.
void followOnDesktop(const std::vector<const char16_t*>& associatedNow, const std::vector<const char16_t*>& handedBack,
                     const std::vector<const char16_t*>& stillAssociated);
