// FFmpeg's process-wide settings, made once before the first clip opens: no log output (a
// screen saver has nowhere to show it), and a bound on any one allocation.
#pragma once

namespace quorvane::player {

void SetUpFFmpeg();

}  // namespace quorvane::player
