#include "settings/settings_location.h"

#include <gtest/gtest.h>

namespace quorvane::settings {
namespace {

TEST(ChooseSettingsLocation, BesideTheProgramWhenItCanBeWrittenElseThePerUserPlace) {
  SettingsLocation portable = ChooseSettingsLocation("D:\\Tools", "C:\\Users\\u\\Quorvane", true);
  EXPECT_EQ(portable.folder, "D:\\Tools");
  EXPECT_EQ(portable.read_also, std::nullopt);

  SettingsLocation installed =
      ChooseSettingsLocation("C:\\Windows\\System32", "C:\\Users\\u\\Quorvane", false);
  EXPECT_EQ(installed.folder, "C:\\Users\\u\\Quorvane");
  EXPECT_EQ(installed.read_also, "C:\\Windows\\System32");

  // Without a per-user folder there is nowhere else to go.
  SettingsLocation nowhere = ChooseSettingsLocation("C:\\Windows", "", false);
  EXPECT_EQ(nowhere.folder, "C:\\Windows");
  EXPECT_EQ(nowhere.read_also, std::nullopt);
}

}  // namespace
}  // namespace quorvane::settings
