// The commands that both the menu and the key actions run.
#pragma once

struct ViewerState;

// "VIEW": the View dialog; when confirmed, the settings are applied, the document is decoded
// again from the bytes in memory and the display refreshed.
void runViewCommand(ViewerState& state);
// "KEY BIND": the key settings; the settings are applied whatever the outcome.
void runKeyBindCommand(ViewerState& state);
// "EXTENSION": the file associations' dialog, for one run.
void runExtensionCommand(ViewerState& state);
// "OPEN...": choose a document; when one was chosen, load, decode and refresh.
void runOpenCommand(ViewerState& state);
