// The decode step: the loaded bytes into the text the view shows, by the chosen encoding.
#pragma once

#include "app/viewer_state.h"

// Decodes fileBytes into wideText with the encoding in force, under the wait cursor. An empty
// document decodes nothing; a rich document is left to the text view.
void decodeDocument(ViewerState& state);
