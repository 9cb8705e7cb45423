// The recorder reads the default input through the audio client itself, with a buffer of two
// seconds: the sound server holds that much for it while the machine is too busy to read.
#include <audioclient.h>
#include <gtest/gtest.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "support/sound.h"
#include "support/support.h"

namespace quorvane::e2e {

namespace {

constexpr GUID kMMDeviceEnumerator = {
    0xbcde0395, 0xe52f, 0x467c, {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};
constexpr GUID kIMMDeviceEnumerator = {
    0xa95664d2, 0x9614, 0x4f35, {0xa7, 0x46, 0xde, 0x8d, 0xb6, 0x36, 0x17, 0xe6}};
constexpr GUID kIAudioClient = {
    0x1cb9ad4c, 0xdbfa, 0x4c32, {0xb1, 0x78, 0xc2, 0xf5, 0x68, 0xa7, 0x03, 0xb2}};
constexpr GUID kIAudioCaptureClient = {
    0xc8adbd64, 0xe71e, 0x48a0, {0xa4, 0xde, 0x18, 0x5c, 0x39, 0x5c, 0xd3, 0x17}};
constexpr REFERENCE_TIME kBufferDuration = 2 * 10'000'000;  // in 100 ns

template <typename T>
void Release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

}  // namespace

// One thread of its own opens the input, reads it every 10 ms and closes it at the end, all in
// its own COM apartment.
struct SoundRecorder::Capture {
  explicit Capture(size_t most_frames) : most(most_frames) {
    left.reserve(most);
    reader = std::thread([this] { Run(); });
  }
  ~Capture() {
    stopping = true;
    if (reader.joinable()) reader.join();
  }

  void Run() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IMMDeviceEnumerator* devices = nullptr;
    IMMDevice* device = nullptr;
    IAudioClient* client = nullptr;
    IAudioCaptureClient* capture = nullptr;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = kSoundRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = kSoundRate * 4;
    bool ok =
        SUCCEEDED(CoCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_ALL, kIMMDeviceEnumerator,
                                   reinterpret_cast<void**>(&devices))) &&
        SUCCEEDED(devices->GetDefaultAudioEndpoint(eCapture, eConsole, &device)) &&
        SUCCEEDED(device->Activate(kIAudioClient, CLSCTX_ALL, nullptr,
                                   reinterpret_cast<void**>(&client))) &&
        SUCCEEDED(client->Initialize(
            AUDCLNT_SHAREMODE_SHARED,
            AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY,
            kBufferDuration, 0, &format, nullptr)) &&
        SUCCEEDED(client->GetService(kIAudioCaptureClient, reinterpret_cast<void**>(&capture))) &&
        SUCCEEDED(client->Start());
    opened = ok;
    opening_done = true;
    while (ok && !stopping) {
      Sleep(10);
      ok = ReadWhatIsThere(capture);
    }
    if (ok) ReadWhatIsThere(capture);
    if (client) client->Stop();
    Release(capture);
    Release(client);
    Release(device);
    Release(devices);
    CoUninitialize();
  }

  bool ReadWhatIsThere(IAudioCaptureClient* capture) {
    UINT32 packet = 0;
    while (SUCCEEDED(capture->GetNextPacketSize(&packet)) && packet > 0) {
      BYTE* data = nullptr;
      UINT32 frames = 0;
      DWORD flags = 0;
      if (FAILED(capture->GetBuffer(&data, &frames, &flags, nullptr, nullptr))) return false;
      {
        std::lock_guard<std::mutex> lock(guard);
        const auto* samples = reinterpret_cast<const int16_t*>(data);
        for (UINT32 i = 0; i < frames && left.size() < most; ++i) {
          left.push_back((flags & AUDCLNT_BUFFERFLAGS_SILENT) ? int16_t{0} : samples[2 * i]);
        }
      }
      capture->ReleaseBuffer(frames);
    }
    return true;
  }

  size_t Frames() {
    std::lock_guard<std::mutex> lock(guard);
    return left.size();
  }

  const size_t most;
  std::mutex guard;
  std::vector<int16_t> left;
  std::atomic<bool> stopping{false}, opening_done{false}, opened{false};
  std::thread reader;
};

SoundRecorder::SoundRecorder(double longest_seconds)
    : capture_(std::make_unique<Capture>(static_cast<size_t>(longest_seconds * kSoundRate))) {
  WaitUntil([&] { return capture_->opening_done.load(); }, 10000);
  if (!capture_->opened) {
    ADD_FAILURE() << "no sound input to record from (is the session's sound server running?)";
    capture_.reset();
    return;
  }
  // The input takes a moment to deliver its first sound: nothing played before counts as heard.
  bool delivering = WaitUntil([&] { return capture_->Frames() >= kSoundRate / 20; }, 5000);
  EXPECT_TRUE(delivering) << "the sound input delivers nothing";
}

SoundRecorder::~SoundRecorder() = default;

bool SoundRecorder::Started() const { return capture_ != nullptr; }

Recording SoundRecorder::Stop() {
  if (!capture_) return Recording({});
  capture_->stopping = true;
  capture_->reader.join();
  std::vector<int16_t> left = std::move(capture_->left);
  capture_.reset();
  return Recording(std::move(left));
}

}  // namespace quorvane::e2e
