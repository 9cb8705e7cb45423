#include "startup/mdl_main.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane::startup {
namespace {

// Records every call start-up makes, in order.
class RecordingHost : public StartupHost {
 public:
  RecordingHost(bool previous, std::string arguments)
      : previous_(previous), arguments_(std::move(arguments)) {}

  bool PreviousInstance() override {
    calls.push_back("previous?");
    return previous_;
  }
  std::string CommandArguments() override {
    calls.push_back("arguments?");
    return arguments_;
  }
  void ShowMessage(std::string_view text) override {
    calls.push_back("message " + std::string(text));
  }
  void LoadConfig() override { calls.push_back("frmConfig"); }
  void LoadSaver() override { calls.push_back("frmMain"); }
  void EndProcess() override { calls.push_back("end"); }

  std::vector<std::string> calls;

 private:
  bool previous_;
  std::string arguments_;
};

using Calls = std::vector<std::string>;

TEST(Main, LoadsExactlyOneWindowOrEnds) {
  const std::string refusal = "message " + std::string(kPasswordRefusalText);
  struct Case {
    const char* arguments;
    Calls after_arguments;
  } cases[] = {
      {"/a", {refusal, "end"}}, {"/a 1234", {refusal, "end"}}, {"/c", {"frmConfig"}},
      {"", {"frmConfig"}},      {"/C:1234", {"frmConfig"}},    {"/p 1234", {"end"}},
      {"/s", {"frmMain"}},      {"-s", {"frmMain"}},           {"/x", {"frmMain"}},
  };
  for (const Case& c : cases) {
    RecordingHost host(false, c.arguments);
    Main(host);
    Calls expected = {"previous?", "arguments?"};
    expected.insert(expected.end(), c.after_arguments.begin(), c.after_arguments.end());
    EXPECT_EQ(host.calls, expected) << c.arguments;
  }
}

TEST(Main, ASecondCopyEndsBeforeReadingItsArguments) {
  for (const char* arguments : {"/s", "/c", "", "/a"}) {
    RecordingHost host(true, arguments);
    Main(host);
    EXPECT_EQ(host.calls, (Calls{"previous?", "end"})) << arguments;
  }
}

}  // namespace
}  // namespace quorvane::startup
