#include "app/apply_settings.h"

#include <cstring>
#include <new>

#include "app/file_browser.h"
#include "app/key_actions.h"
#include "convert/encoding_catalogue.h"
#include "settings/settings_file.h"
#include "settings/view_dialog.h"

void applySettings(ViewerState& state, HWND mainWindow) {
  SettingsFile settings;
  std::memset(&state.font, 0, sizeof state.font);
  state.zoomPercent = settings.image.zoomPercent;

  if (state.zoomPercent == 0) {
    // No zoom chosen yet (the first run): ask for the view settings, then read them back.
    settings.close();
    ViewDialog dialog;
    dialog.run(mainWindow, state.instance);
    settings.load();
    state.zoomPercent = settings.image.zoomPercent;
  }

  const SettingsImage& image = settings.image;
  state.encoding = static_cast<uint32_t>(image.encoding);
  state.lineStyle = static_cast<uint32_t>(image.lineStyle);
  std::memcpy(state.font.lfFaceName, image.faceName, sizeof state.font.lfFaceName);
  // A stored name that fills all 32 units has no terminator; the font record needs one.
  state.font.lfFaceName[LF_FACESIZE - 1] = 0;
  state.appKeysEnabled = static_cast<uint32_t>(image.appKeysEnabled);
  std::memcpy(state.keyActions, image.keyActions, sizeof state.keyActions);
  state.useSystemDialog = image.useSystemDialog != 0;

  // Only the two stored answers change the capture; any other number leaves it as it is.
  if (state.appKeysEnabled <= 1) setAppKeysCaptured(state, mainWindow, state.appKeysEnabled == 1);

  state.font.lfCharSet = charsetForEncoding(state.encoding);
  state.font.lfHeight = kTextFontHeight;

  // A new file browser with the new font replaces the old one, which takes its font with it. A
  // browser that is running (the settings applied from inside its own dialog) stays: its
  // dialog is still using it.
  if (state.fileBrowser && state.fileBrowser->isRunning()) return;
  state.fileBrowser.reset();
  state.fileBrowser.reset(new (std::nothrow) FileBrowserDialog(state.instance, state.font.lfFaceName,
                                                               fileBrowserFontHeight(state.zoomPercent),
                                                               state.font.lfCharSet, kBrowserFilterList));
}
