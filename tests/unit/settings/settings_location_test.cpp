#include "settings/settings_location.h"

#include <gtest/gtest.h>

namespace quorvane::settings {
namespace {

// Wherever the file is, the program's folder is the current one while it is read or written.
TEST(ChooseSettingsLocation, BesideTheProgramWhenItCanBeWrittenElseThePerUserPlace) {
  SettingsLocation portable = ChooseSettingsLocation("D:\\Tools", "C:\\Users\\u\\Quorvane", true);
  EXPECT_EQ(portable.folder, "D:\\Tools");
  EXPECT_EQ(portable.read_also, std::nullopt);
  EXPECT_EQ(portable.current, "D:\\Tools");

  SettingsLocation installed =
      ChooseSettingsLocation("C:\\Windows\\System32", "C:\\Users\\u\\Quorvane", false);
  EXPECT_EQ(installed.folder, "C:\\Users\\u\\Quorvane");
  EXPECT_EQ(installed.read_also, "C:\\Windows\\System32");
  EXPECT_EQ(installed.current, "C:\\Windows\\System32");

  // Without a per-user folder there is nowhere else to go.
  SettingsLocation nowhere = ChooseSettingsLocation("C:\\Windows", "", false);
  EXPECT_EQ(nowhere.folder, "C:\\Windows");
  EXPECT_EQ(nowhere.read_also, std::nullopt);
  EXPECT_EQ(nowhere.current, "C:\\Windows");
}

}  // namespace
}  // namespace quorvane::settings
