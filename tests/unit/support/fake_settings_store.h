// The settings file in memory, for the unit tests and fuzz targets of every module: its text or
// none, a reason to give when writing fails, every load counted, and each load and replace
// noted in order in a log when one is given.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_store.h"

namespace quorvane::fakes {

// What happened, in order, across a test's doubles.
using EventLog = std::vector<std::string>;

class FakeSettingsStore final : public settings::SettingsStore {
 public:
  FakeSettingsStore() = default;
  explicit FakeSettingsStore(EventLog& log) : log_(&log) {}

  std::optional<std::string> Load() override {
    ++loads;
    Note("load");
    return file;
  }
  std::string Replace(std::string_view text) override {
    Note("replace");
    if (!failure.empty()) return failure;
    file = std::string(text);
    return "";
  }
  std::string Location() const override { return "C:\\Program Files\\Quorvane\\Quorvane.ini"; }

  std::optional<std::string> file;
  std::string failure;  // when not empty, Replace fails with it and keeps the file
  int loads = 0;

 private:
  void Note(const char* what) {
    if (log_) log_->push_back(what);
  }
  EventLog* log_ = nullptr;
};

}  // namespace quorvane::fakes
