#include "support/stand_in_devices.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>
#include <utility>

namespace quorvane::player::testing {

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kPeriod = 0.01;
constexpr size_t kBufferPeriods = 8;

double Seconds(Clock::time_point t) {
  return std::chrono::duration<double>(t.time_since_epoch()).count();
}

using Shared = StandInDevices::Shared;

class StandInStream final : public SoundStream, public Shared::Playing {
 public:
  // Under the shared lock.
  StandInStream(std::shared_ptr<Shared> shared, std::string device, int number)
      : shared_(std::move(shared)), device_(std::move(device)), number_(number) {
    shared_->streams.push_back(this);
  }
  ~StandInStream() override {
    std::lock_guard lock(shared_->mutex);
    if (Valid()) Play();  // up to its close
    --shared_->open_now;
    std::erase(shared_->streams, static_cast<Shared::Playing*>(this));
    shared_->changed.notify_all();
  }

  MixFormat Format() const override { return shared_->format; }
  size_t BufferFrames() const override {
    return static_cast<size_t>(shared_->format.rate * kPeriod) * kBufferPeriods;
  }
  double Period() const override { return kPeriod; }
  bool Padding(size_t& frames) override {
    std::unique_lock lock = Answering();
    if (!Valid()) return false;
    Play();
    frames = queued_.size();
    return true;
  }
  bool Give(const uint8_t* bytes, size_t frames) override {
    std::unique_lock lock = Answering();
    if (!Valid()) return false;
    Play();
    for (size_t i = 0; i < frames; ++i) {
      float value = 0;
      if (bytes) std::memcpy(&value, bytes + i * sizeof(float), sizeof value);
      queued_.push_back(value);
    }
    return true;
  }
  bool Start() override {
    std::unique_lock lock = Answering();
    if (!Valid()) return false;
    started_ = true;
    last_ = shared_->Now();
    return true;
  }
  bool Flush() override {
    std::unique_lock lock = Answering();
    if (!Valid()) return false;
    Play();
    queued_.clear();
    started_ = false;
    played_ = 0;
    return true;
  }
  Reading Position(double& seconds, double& at) override {
    std::unique_lock lock = Answering();
    if (!Valid()) return Reading::kGone;
    Play();
    seconds = static_cast<double>(played_) / shared_->format.rate;
    at = shared_->Now();
    return Reading::kAccurate;
  }

 private:
  // Under the lock, once the device answers.
  std::unique_lock<std::mutex> Answering() {
    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait(lock, [&] { return shared_->answering; });
    return lock;
  }
  bool Valid() const { return !shared_->invalid.contains(number_); }
  int Number() const override { return number_; }
  const std::string& Device() const override { return device_; }
  // Under the shared lock: plays what the time since the last call allows, and no more than was
  // given.
  void Play() override {
    if (!started_ || shared_->silent.contains(number_)) return;
    double now = shared_->Now();
    double frames = (now - last_) * shared_->format.rate + fraction_;
    size_t count = static_cast<size_t>(frames);
    fraction_ = frames - static_cast<double>(count);
    last_ = now;
    count = std::min(count, queued_.size());
    for (size_t i = 0; i < count; ++i) {
      double at = now - static_cast<double>(count - i) / shared_->format.rate;
      shared_->played.push_back({device_, queued_[i], at});
    }
    queued_.erase(queued_.begin(), queued_.begin() + static_cast<std::ptrdiff_t>(count));
    played_ += count;
    shared_->changed.notify_all();
  }

  std::shared_ptr<Shared> shared_;
  std::string device_;
  int number_;
  std::vector<float> queued_;
  size_t played_ = 0;
  bool started_ = false;
  double last_ = 0;
  double fraction_ = 0;
};

}  // namespace

StandInDevices::StandInDevices(MixFormat format) : shared_(std::make_shared<Shared>()) {
  shared_->format = format;
}

StandInDevices::~StandInDevices() = default;

void StandInDevices::ThreadStarted() {
  std::lock_guard lock(shared_->mutex);
  shared_->thread_running = true;
}

void StandInDevices::ThreadEnding() {
  std::lock_guard lock(shared_->mutex);
  shared_->thread_running = false;
  shared_->changed.notify_all();
}

std::unique_ptr<SoundStream> StandInDevices::OpenDefault() {
  std::unique_lock lock(shared_->mutex);
  shared_->changed.wait(lock, [&] { return shared_->answering; });
  if (shared_->default_device.empty()) return nullptr;
  ++shared_->opened;
  ++shared_->open_now;
  shared_->changed.notify_all();
  return std::make_unique<StandInStream>(shared_, shared_->default_device, shared_->opened);
}

bool StandInDevices::DefaultChanged() {
  std::lock_guard lock(shared_->mutex);
  return std::exchange(shared_->default_changed, false);
}

void StandInDevices::Wait(SoundStream* stream, double seconds) {
  std::unique_lock lock(shared_->mutex);
  double now = shared_->Now();
  double until = seconds < 0 ? 1e300 : now + seconds;
  // A stream's event comes at each period's end.
  if (stream) until = std::min(until, (std::floor(now / kPeriod) + 1) * kPeriod);
  while (!shared_->woken && !shared_->default_changed && shared_->Now() < until) {
    double left = until - shared_->Now();
    if (left > 1e6) {
      shared_->changed.wait(lock);
    } else {
      shared_->changed.wait_for(lock, std::chrono::duration<double>(left));
    }
  }
  shared_->woken = false;
}

void StandInDevices::Wake() {
  std::lock_guard lock(shared_->mutex);
  shared_->woken = true;
  shared_->changed.notify_all();
}

double StandInDevices::Now() const { return shared_->Now(); }

double Shared::Now() const { return Seconds(Clock::now()); }

void Shared::SetDefault(const std::string& name) {
  std::lock_guard lock(mutex);
  default_device = name;
  default_changed = true;
  changed.notify_all();
}

void Shared::Invalidate(const std::string& device) {
  std::lock_guard lock(mutex);
  for (Playing* stream : streams) {
    if (!device.empty() && stream->Device() != device) continue;
    stream->Play();  // up to this moment
    invalid.insert(stream->Number());
  }
  changed.notify_all();
}

void Shared::StopPlaying() {
  std::lock_guard lock(mutex);
  for (Playing* stream : streams) {
    stream->Play();  // up to this moment
    silent.insert(stream->Number());
  }
}

void Shared::StopAnswering() {
  std::lock_guard lock(mutex);
  answering = false;
}

void Shared::Answer() {
  std::lock_guard lock(mutex);
  answering = true;
  changed.notify_all();
}

int Shared::Opened() const {
  std::lock_guard lock(mutex);
  return opened;
}

int Shared::OpenNow() const {
  std::lock_guard lock(mutex);
  return open_now;
}

bool Shared::ThreadRunning() const {
  std::lock_guard lock(mutex);
  return thread_running;
}

std::vector<Heard> Shared::Played() {
  std::lock_guard lock(mutex);
  for (Playing* stream : streams) stream->Play();
  return played;
}

bool Shared::Until(const std::function<bool()>& condition, double seconds) const {
  auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return condition();
}

}  // namespace quorvane::player::testing
