// The settings file "Quorvane.ini": fixed 10-character key fields, one value per line, written
// in a fixed order with CR LF line ends. Pure text rules; reading and writing the bytes on disk
// is the SettingsStore's job (settings_store.h). Text here is UTF-8.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::settings {

inline constexpr std::string_view kFileName = "Quorvane.ini";

// The key fields, exactly 10 characters each, "=" in the tenth.
inline constexpr std::string_view kListDir = "ListDir  =";
inline constexpr std::string_view kListPath = "ListPath =";
inline constexpr std::string_view kSizeSel = "SizeSel  =";
inline constexpr std::string_view kSizeFree = "SizeFree =";
inline constexpr std::string_view kPosSel = "PosSel   =";
inline constexpr std::string_view kJyunSel = "JyunSel  =";
inline constexpr std::string_view kPlayList = "PlayList =";
inline constexpr size_t kKeyFieldLength = 10;

// One line split into its key field (the first 10 characters) and its value (the rest, whole).
struct Entry {
  std::string_view key;
  std::string_view value;
};

// Calls visit for every line of the file's text in file order, lines shorter than the key
// field skipped. A line ends at CR LF, a lone LF or CR, or the end of the text.
void ForEachEntry(std::string_view text, const std::function<void(const Entry&)>& visit);

// What the dialog writes on OK, in the order it is written.
struct SettingsRecord {
  std::string list_dir;
  std::string list_path;
  int size_sel = 1;
  std::string size_free;
  int pos_sel = 0;
  int jyun_sel = 0;
  std::vector<std::string> play_list;
};

// The whole file's text: the six option lines, then one "PlayList =" line per entry, each
// ended by CR LF. Values are written whole, exactly as given.
std::string FormatSettings(const SettingsRecord& record);

}  // namespace quorvane::settings
