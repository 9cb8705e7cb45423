// The playback component as a Win32 child window: what the saver window (reaAudio) and the
// settings dialog (reaAudioPre) create. Owned by its host window; UI thread only.
// The window paints black until the first picture and around it, never takes the keyboard
// focus, and is transparent to the mouse, so input over the picture reaches the host window.
#pragma once

#include <windows.h>

#include <memory>

#include "player/playback_component.h"

namespace quorvane::player {

class PlaybackWindow : public PlaybackComponent {
 public:
  // The component's own child window. Its text is the current source, for tests and tools.
  virtual HWND Handle() const = 0;
  // Signalled whenever the play state, the picture size or a due picture changes, so that a
  // host waiting for messages can wait for this as well.
  virtual HANDLE WakeEvent() const = 0;
  // Whole window (false, the saver's way: the host sizes the window to the picture) or the
  // picture fitted inside with its proportions kept and black around it (true, the preview).
  virtual void SetFitPicture(bool fit) = 0;
};

// Creates the component as a child of parent at the given place (pixels), visible or hidden.
std::unique_ptr<PlaybackWindow> CreatePlaybackWindow(HWND parent, int control_id, RECT place,
                                                     bool visible);

}  // namespace quorvane::player
