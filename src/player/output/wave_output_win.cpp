#include "player/output/wave_output_win.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "player/output/wave_api_win.h"

namespace quorvane::player {

namespace {

// Eight blocks of a tenth of a second: enough ahead to ride over a slow picture.
constexpr size_t kBlocks = 8;
constexpr int kBlocksASecond = 10;
// A device that takes nothing for this long, with sound queued, has gone away (its server
// stopped, the headphones were pulled): the clip goes on without it.
constexpr ULONGLONG kStalledMs = 500;
// waveOut calls a block done when it has handed it on to the sound system, which plays it a
// little later; at a clip's end that much is left to play before the device is closed.
constexpr DWORD kSystemLatencyMs = 150;

class WaveOutput final : public AudioOutput {
 public:
  WaveOutput() : done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~WaveOutput() override {
    Stop();
    if (done_) CloseHandle(done_);
  }

  bool Start(SoundFormat sound) override {
    Stop();
    if (!api_ || !done_ || sound.rate <= 0 || sound.channels < 1 || sound.channels > 2)
      return false;
    block_frames_ = static_cast<size_t>(std::max(1, sound.rate / kBlocksASecond));
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(sound.channels);
    format.nSamplesPerSec = static_cast<DWORD>(sound.rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    HWAVEOUT device = nullptr;
    if (api_->open(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done_), 0,
                   CALLBACK_EVENT) != MMSYSERR_NOERROR) {
      return false;
    }
    device_ = device;
    format_ = sound;
    written_frames_ = 0;
    lost_ = false;
    last_position_ = 0;
    position_moved_ = GetTickCount64();
    for (Block& block : blocks_) {
      block.samples.assign(block_frames_ * Channels(), 0);
      block.header = {};
      block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
      block.header.dwBufferLength = static_cast<DWORD>(block.samples.size() * sizeof(int16_t));
      api_->prepare(device_, &block.header, sizeof block.header);
      block.header.dwFlags |= WHDR_DONE;  // free to fill
    }
    filling_ = nullptr;
    filled_frames_ = 0;
    return true;
  }

  void Write(const int16_t* samples, size_t frames,
             const std::function<bool()>& cancelled) override {
    while (Usable() && frames > 0 && !cancelled()) {
      if (!filling_ && !(filling_ = WaitForFreeBlock(cancelled))) return;
      size_t take = std::min(frames, block_frames_ - filled_frames_);
      std::memcpy(filling_->samples.data() + filled_frames_ * Channels(), samples,
                  take * Channels() * sizeof(int16_t));
      filled_frames_ += take;
      samples += take * Channels();
      frames -= take;
      if (filled_frames_ == block_frames_) Submit();
    }
  }

  bool Ready() const override {
    if (!Usable()) return true;  // Write drops the sound at once
    if (filling_ && filled_frames_ < block_frames_) return true;
    return std::any_of(blocks_.begin(), blocks_.end(), Done);
  }

  void Drain() override {
    if (Usable() && filling_ && filled_frames_ > 0) Submit();
  }

  void Finish(const std::function<bool()>& cancelled) override {
    if (!Usable()) return;
    ULONGLONG waiting_since = GetTickCount64();
    auto all_done = [&] { return std::all_of(blocks_.begin(), blocks_.end(), Done); };
    while (!all_done() && !cancelled() && GetTickCount64() - waiting_since < kStalledMs) {
      WaitForSingleObject(done_, 20);
    }
    for (DWORD waited = 0; waited < kSystemLatencyMs && !cancelled(); waited += 10) Sleep(10);
  }

  void Stop() override {
    if (!device_) return;
    HWAVEOUT device = device_;
    device_ = nullptr;
    api_->reset(device);
    for (Block& block : blocks_) api_->unprepare(device, &block.header, sizeof block.header);
    api_->close(device);
    filling_ = nullptr;
  }

  std::optional<double> PlayedSeconds() override {
    if (!device_ || lost_ || written_frames_ == 0) return std::nullopt;
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    if (api_->position(device_, &time, sizeof time) != MMSYSERR_NOERROR ||
        time.wType != TIME_SAMPLES || time.u.sample >= written_frames_) {
      return std::nullopt;
    }
    // A position that stands still while sound is queued is a device that went away.
    ULONGLONG now = GetTickCount64();
    if (time.u.sample != last_position_) {
      last_position_ = time.u.sample;
      position_moved_ = now;
    } else if (now - position_moved_ > kStalledMs) {
      lost_ = true;
      return std::nullopt;
    }
    return static_cast<double>(time.u.sample) / format_.rate;
  }

 private:
  struct Block {
    WAVEHDR header{};
    std::vector<int16_t> samples;
  };

  size_t Channels() const { return static_cast<size_t>(format_.channels); }

  // A block the device has played, or never had.
  static bool Done(const Block& block) { return (block.header.dwFlags & WHDR_DONE) != 0; }
  Block* FreeBlock() {
    auto free = std::find_if(blocks_.begin(), blocks_.end(), Done);
    return free == blocks_.end() ? nullptr : &*free;
  }

  bool Usable() const { return device_ && !lost_; }

  // A block the device has played (or never had), waiting while all are queued; nullptr when
  // cancelled or when the device stopped taking any.
  Block* WaitForFreeBlock(const std::function<bool()>& cancelled) {
    ULONGLONG waiting_since = GetTickCount64();
    while (!cancelled()) {
      if (Block* free = FreeBlock()) return free;
      if (GetTickCount64() - waiting_since > kStalledMs) {
        lost_ = true;
        return nullptr;
      }
      WaitForSingleObject(done_, 20);
    }
    return nullptr;
  }

  void Submit() {
    Block& block = *filling_;
    filling_ = nullptr;
    block.header.dwBufferLength = static_cast<DWORD>(filled_frames_ * Channels() * sizeof(int16_t));
    block.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    size_t frames = filled_frames_;
    filled_frames_ = 0;
    if (api_->write(device_, &block.header, sizeof block.header) != MMSYSERR_NOERROR) {
      block.header.dwFlags |= WHDR_DONE;
      lost_ = true;
      return;
    }
    // The device's position is watched from its first sound on.
    if (written_frames_ == 0) position_moved_ = GetTickCount64();
    written_frames_ += frames;
  }

  const WaveApi* api_ = LoadWaveApi();  // nullptr: no winmm, no device
  HANDLE done_;                         // signalled by the device for each block it has played
  HWAVEOUT device_ = nullptr;
  SoundFormat format_;
  size_t written_frames_ = 0;
  // A device that stopped taking sound; PlayedSeconds watches its position for that.
  bool lost_ = false;
  DWORD last_position_ = 0;
  ULONGLONG position_moved_ = 0;
  size_t block_frames_ = 0;
  std::array<Block, kBlocks> blocks_;
  Block* filling_ = nullptr;
  size_t filled_frames_ = 0;
};

}  // namespace

std::unique_ptr<AudioOutput> CreateWaveOutput() { return std::make_unique<WaveOutput>(); }

}  // namespace quorvane::player
