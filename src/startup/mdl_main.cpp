#include "startup/mdl_main.h"

#include "startup/mode.h"

namespace quorvane::startup {

void Main(StartupHost& host) {
  // A second copy ends before it so much as looks at its arguments.
  if (host.PreviousInstance()) {
    host.EndProcess();
    return;
  }
  switch (ModeForKey(ModeKey(host.CommandArguments()))) {
    case Mode::kPasswordRefusal:
      host.ShowMessage(kPasswordRefusalText);
      host.EndProcess();
      return;
    case Mode::kConfigure:
      host.LoadConfig();
      return;
    case Mode::kPreview:
      host.EndProcess();
      return;
    case Mode::kSaver:
      host.LoadSaver();
      return;
  }
}

}  // namespace quorvane::startup
