// Includes one header of a module: compiles only in a target that declares that module.
#include QUORVANE_PROBE_HEADER

int QuorvaneModuleProbe() { return 0; }
