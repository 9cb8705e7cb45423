#include "config/config_messages.h"

namespace quorvane::config {

std::string DriveNotReadyMessage(std::string_view drive) {
  std::string text = "大変申し訳ございませんが、ドライブ ";
  text += drive;
  text += " の準備ができていません";
  return text;
}

std::string SaveFailedMessage(std::string_view location, std::string_view reason) {
  std::string text = "大変申し訳ございませんが、設定を保存できませんでした\n\n";
  text += location;
  text += "\n";
  text += reason;
  return text;
}

}  // namespace quorvane::config
