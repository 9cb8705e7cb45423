#include "settings/settings_file.h"

#include "base/text.h"

namespace quorvane::settings {

void ForEachEntry(std::string_view text, const std::function<void(const Entry&)>& visit) {
  base::ForEachLine(text, [&visit](std::string_view line) {
    if (line.size() >= kKeyFieldLength) {
      visit(Entry{line.substr(0, kKeyFieldLength), line.substr(kKeyFieldLength)});
    }
    return true;
  });
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
