#include "player/wave_output_win.h"

#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <vector>

namespace quorvane::player {

namespace {

// Eight blocks of a tenth of a second: enough ahead to ride over a slow picture.
constexpr size_t kBlocks = 8;
constexpr size_t kBlockFrames = kAudioRate / 10;

class WaveOutput final : public AudioOutput {
 public:
  WaveOutput() : done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~WaveOutput() override {
    Stop();
    if (done_) CloseHandle(done_);
  }

  bool Start() override {
    Stop();
    if (!done_) return false;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kAudioChannels;
    format.nSamplesPerSec = kAudioRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done_), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
      return false;
    }
    {
      std::lock_guard lock(mutex_);
      device_ = device;
      written_frames_ = 0;
    }
    for (Block& block : blocks_) {
      block.samples.assign(kBlockFrames * kAudioChannels, 0);
      block.header = {};
      block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
      block.header.dwBufferLength = static_cast<DWORD>(block.samples.size() * sizeof(int16_t));
      waveOutPrepareHeader(device_, &block.header, sizeof block.header);
      block.header.dwFlags |= WHDR_DONE;  // free to fill
    }
    return true;
  }

  void Write(const int16_t* samples, size_t frames,
             const std::function<bool()>& cancelled) override {
    while (device_ && frames > 0 && !cancelled()) {
      Block* free_block = nullptr;
      for (Block& block : blocks_) {
        if (block.header.dwFlags & WHDR_DONE) {
          free_block = &block;
          break;
        }
      }
      if (!free_block) {
        WaitForSingleObject(done_, 20);
        continue;
      }
      size_t take = std::min(frames, kBlockFrames);
      std::memcpy(free_block->samples.data(), samples, take * kAudioChannels * sizeof(int16_t));
      free_block->header.dwBufferLength =
          static_cast<DWORD>(take * kAudioChannels * sizeof(int16_t));
      free_block->header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
      if (waveOutWrite(device_, &free_block->header, sizeof free_block->header) !=
          MMSYSERR_NOERROR) {
        free_block->header.dwFlags |= WHDR_DONE;
        return;
      }
      {
        std::lock_guard lock(mutex_);
        written_frames_ += take;
      }
      samples += take * kAudioChannels;
      frames -= take;
    }
  }

  void Stop() override {
    if (!device_) return;
    HWAVEOUT device = device_;
    {
      std::lock_guard lock(mutex_);
      device_ = nullptr;
    }
    waveOutReset(device);
    for (Block& block : blocks_) waveOutUnprepareHeader(device, &block.header, sizeof block.header);
    waveOutClose(device);
  }

  std::optional<double> PlayedSeconds() const override {
    std::lock_guard lock(mutex_);
    if (!device_ || written_frames_ == 0) return std::nullopt;
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(device_, &time, sizeof time) != MMSYSERR_NOERROR ||
        time.wType != TIME_SAMPLES || time.u.sample >= written_frames_) {
      return std::nullopt;
    }
    return static_cast<double>(time.u.sample) / kAudioRate;
  }

 private:
  struct Block {
    WAVEHDR header{};
    std::vector<int16_t> samples;
  };
  HANDLE done_;
  // Opened and closed by the worker; mutex_ guards it and the count against PlayedSeconds on
  // the user-interface thread.
  mutable std::mutex mutex_;
  HWAVEOUT device_ = nullptr;
  size_t written_frames_ = 0;
  std::array<Block, kBlocks> blocks_;
};

}  // namespace

std::unique_ptr<AudioOutput> CreateWaveOutput() { return std::make_unique<WaveOutput>(); }

}  // namespace quorvane::player
