// Whether a path that a metafile names can only be a file on this machine's own disks. A
// metafile is someone else's text: a path to another machine (a UNC share, which Windows opens
// by connecting to that host with the user's credentials), into Windows' device namespaces, or
// to a device (CON, COM1, ...) is never asked about. The user's own playlist is not judged
// here. Pure functions over UTF-8 text.
#pragma once

#include <string_view>

namespace quorvane::player {

// False for a path that begins with two separators in any mix ("\\host\share", "//host",
// "\\?\", "\\.\"), for the NT prefix "\??\", and for a path with a reserved device name as
// one of its parts ("CON", "nul.rm", "C:\clips\COM1.ram"). A drive path, a root path or a
// relative one, climbing out of its folder or not, is this machine's.
bool IsThisMachinesPath(std::string_view path);

// True when the part of a path between two separators names a device whatever folder it is in:
// CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 (also with the digits 1, 2, 3 written superscript),
// CONIN$ and CONOUT$, in any letter case, with or without an extension or trailing blanks.
bool IsDeviceName(std::string_view part);

}  // namespace quorvane::player
