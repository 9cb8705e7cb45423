// A device layer of the tests' own under the sound output, whose devices fail and change as
// Windows' do: each plays in real time what it is given, 10 ms a period (an event each), and
// stops where its sound runs out; a stream can be invalidated (a device pulled, its format
// changed), the default device can change or be none, and a device can stop answering. Every
// device keeps what it played, so a test can hear which of a clip's frames came out, where.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "player/sound/sound_device.h"

namespace quorvane::player::testing {

struct Heard {
  std::string device;
  float value;  // a frame played (silence is 0)
  double at;    // when, in seconds of the layer's clock
};

class StandInDevices final : public SoundDevices {
 public:
  // Devices of this format; the default is "speakers" at first.
  explicit StandInDevices(MixFormat format = {8000, 1, 0x4, MixFormat::Sample::kFloat});
  ~StandInDevices() override;

  // The test's side; any thread.
  struct Shared;
  std::shared_ptr<Shared> Control() const { return shared_; }

  // SoundDevices
  void ThreadStarted() override;
  void ThreadEnding() override;
  std::unique_ptr<SoundStream> OpenDefault() override;
  bool DefaultChanged() override;
  bool DeviceCame() override { return false; }
  void Wait(SoundStream* stream, double seconds) override;
  void Wake() override;
  double Now() const override;

 private:
  std::shared_ptr<Shared> shared_;
};

// What the test does to the devices and reads off them.
struct StandInDevices::Shared {
  // The default device from now on ("" for none), as Windows tells its change.
  void SetDefault(const std::string& name);
  // The device's streams open now are invalidated (every device's, with no name): every call of
  // theirs fails from now on. A stream opened afterwards works.
  void Invalidate(const std::string& device = "");
  // The streams open now play nothing more of what they hold, and say nothing of it.
  void StopPlaying();
  // Every device call blocks from now until Answer.
  void StopAnswering();
  void Answer();

  // Streams opened so far, and those open now.
  int Opened() const;
  int OpenNow() const;
  bool ThreadRunning() const;
  // Every frame played so far, in order.
  std::vector<Heard> Played();
  // Waits (real time) until the condition holds, or seconds pass.
  bool Until(const std::function<bool()>& condition, double seconds) const;

  double Now() const;

  MixFormat format;
  mutable std::mutex mutex;
  mutable std::condition_variable changed;
  // Under mutex:
  std::string default_device = "speakers";
  bool default_changed = false;
  bool woken = false;
  bool answering = true;
  int opened = 0;
  int open_now = 0;
  std::set<int> invalid, silent;  // streams by number
  bool thread_running = false;
  std::vector<Heard> played;
  // The streams open now, which play on whenever anyone looks.
  struct Playing {
    virtual void Play() = 0;
    virtual int Number() const = 0;
    virtual const std::string& Device() const = 0;
  };
  std::vector<Playing*> streams;
};

}  // namespace quorvane::player::testing
