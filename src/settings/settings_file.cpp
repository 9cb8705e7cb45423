#include "settings/settings_file.h"

namespace quorvane::settings {

void ForEachEntry(std::string_view text, const std::function<void(const Entry&)>& visit) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    // CR LF is one line end; a lone CR or LF ends a line as well.
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') {
      ++start;
    }
    if (line.size() < kKeyFieldLength) continue;
    visit(Entry{line.substr(0, kKeyFieldLength), line.substr(kKeyFieldLength)});
  }
}

namespace {

void AppendLine(std::string& out, std::string_view key, std::string_view value) {
  out.append(key);
  out.append(value);
  out.append("\r\n");
}

}  // namespace

std::string FormatSettings(const SettingsRecord& record) {
  std::string out;
  AppendLine(out, kListDir, record.list_dir);
  AppendLine(out, kListPath, record.list_path);
  AppendLine(out, kSizeSel, std::to_string(record.size_sel));
  AppendLine(out, kSizeFree, record.size_free);
  AppendLine(out, kPosSel, std::to_string(record.pos_sel));
  AppendLine(out, kJyunSel, std::to_string(record.jyun_sel));
  for (const std::string& entry : record.play_list) AppendLine(out, kPlayList, entry);
  return out;
}

}  // namespace quorvane::settings
