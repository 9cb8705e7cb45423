// The texts of the settings dialog's message boxes, in Japanese. Pure functions.
#pragma once

#include <string>
#include <string_view>

namespace quorvane::config {

// Add refused: the playlist already holds 100 entries or more.
inline constexpr std::string_view kListFullMessage =
    "大変申し訳ございませんが、現在１００ファイル以上の選択は、対応していません";

// The drive picked in the drive list cannot be opened (a removable drive without a medium).
std::string DriveNotReadyMessage(std::string_view drive);

// OK could not write the settings file; it names the file and the reason.
std::string SaveFailedMessage(std::string_view location, std::string_view reason);

}  // namespace quorvane::config
