#include "player/output/audio_client_stream_win.h"

#include <audioclient.h>

#include <optional>

namespace quorvane::player {

namespace {

// What the stream asks to share with the device: three of the audio engine's periods, enough to
// ride over a late wake of the feeding thread. A longer buffer would let that thread sleep
// longer, but not every driver reports the position it plays as the documentation says: Wine's
// reported it 7 to 28 ms behind what was heard with eight periods, jittering by up to 21 ms in a
// clip, and within 2 ms with three. A replaced clip's sound is dropped from it (Flush).
constexpr REFERENCE_TIME kBufferPeriods = 3;
constexpr REFERENCE_TIME kUsualPeriod = 10 * 10000;  // 100 ns units, where the device says none

struct Release {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using Com = std::unique_ptr<T, Release>;

struct TaskMemory {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};

double CounterSeconds(UINT64 hundred_ns) { return static_cast<double>(hundred_ns) * 1e-7; }

// The device's mix format as the converter knows it; nothing for a kind of sample it cannot
// write (24 bits packed in three bytes, 8 or 64 bits).
std::optional<MixFormat> MixFormatOf(const WAVEFORMATEX& format) {
  MixFormat mix;
  mix.rate = static_cast<int>(format.nSamplesPerSec);
  mix.channels = format.nChannels;
  bool is_float = format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
  bool is_pcm = format.wFormatTag == WAVE_FORMAT_PCM;
  if (format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= 22) {
    const auto& extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format);
    mix.speakers = extensible.dwChannelMask;
    // KSDATAFORMAT_SUBTYPE_PCM and _IEEE_FLOAT: {0000000n-0000-0010-8000-00aa00389b71}.
    const GUID& sub = extensible.SubFormat;
    bool wave_kind =
        sub.Data2 == 0 && sub.Data3 == 0x10 && sub.Data4[0] == 0x80 && sub.Data4[7] == 0x71;
    is_float = wave_kind && sub.Data1 == WAVE_FORMAT_IEEE_FLOAT;
    is_pcm = wave_kind && sub.Data1 == WAVE_FORMAT_PCM;
  }
  if (is_float && format.wBitsPerSample == 32) {
    mix.sample = MixFormat::Sample::kFloat;
  } else if (is_pcm && format.wBitsPerSample == 16) {
    mix.sample = MixFormat::Sample::kInt16;
  } else if (is_pcm && format.wBitsPerSample == 32) {
    mix.sample = MixFormat::Sample::kInt32;
  } else {
    return std::nullopt;
  }
  if (mix.rate <= 0 || mix.channels < 1 || format.nBlockAlign != mix.FrameBytes()) {
    return std::nullopt;
  }
  return mix;
}

class AudioClientStream final : public SoundStream {
 public:
  ~AudioClientStream() override {
    if (client_) client_->Stop();
    clock_.reset();
    render_.reset();
    client_.reset();
    if (room_) CloseHandle(room_);
  }

  // The device's client, set up; false when it cannot be.
  bool Open(IMMDevice& device) {
    room_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!room_) return false;
    // A failed Initialize may leave its client unusable: the second try is on a fresh one, and
    // lets the engine choose the buffer.
    for (int attempt = 0; attempt < 2 && !client_; ++attempt) {
      Com<IAudioClient> client = Activate(device);
      if (client && Initialize(*client, attempt == 0)) client_ = std::move(client);
    }
    if (!client_) return false;
    IAudioRenderClient* render = nullptr;
    IAudioClock* clock = nullptr;
    if (FAILED(client_->GetBufferSize(&buffer_frames_)) ||
        FAILED(
            client_->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&render)))) {
      return false;
    }
    render_.reset(render);
    if (FAILED(client_->GetService(__uuidof(IAudioClock), reinterpret_cast<void**>(&clock)))) {
      return false;
    }
    clock_.reset(clock);
    return SUCCEEDED(clock_->GetFrequency(&frequency_)) && frequency_ > 0;
  }

  HANDLE RoomEvent() const { return room_; }

  MixFormat Format() const override { return format_; }
  size_t BufferFrames() const override { return buffer_frames_; }
  double Period() const override { return static_cast<double>(period_) * 1e-7; }
  bool Padding(size_t& frames) override {
    UINT32 padding = 0;
    if (FAILED(client_->GetCurrentPadding(&padding))) return false;
    frames = padding;
    return true;
  }
  bool Give(const uint8_t* bytes, size_t frames) override {
    BYTE* buffer = nullptr;
    auto count = static_cast<UINT32>(frames);
    if (FAILED(render_->GetBuffer(count, &buffer))) return false;
    if (bytes) memcpy(buffer, bytes, frames * static_cast<size_t>(format_.FrameBytes()));
    return SUCCEEDED(render_->ReleaseBuffer(count, bytes ? 0 : AUDCLNT_BUFFERFLAGS_SILENT));
  }
  bool Start() override { return SUCCEEDED(client_->Start()); }
  bool Flush() override { return SUCCEEDED(client_->Stop()) && SUCCEEDED(client_->Reset()); }
  Reading Position(double& seconds, double& at) override {
    UINT64 position = 0, counter = 0;
    HRESULT read = clock_->GetPosition(&position, &counter);
    if (FAILED(read)) return Reading::kGone;
    // S_FALSE: the call took long enough to make the reading inaccurate.
    if (read != S_OK) return Reading::kInaccurate;
    seconds = static_cast<double>(position) / static_cast<double>(frequency_);
    at = CounterSeconds(counter);
    return Reading::kAccurate;
  }

 private:
  static Com<IAudioClient> Activate(IMMDevice& device) {
    IAudioClient* client = nullptr;
    if (FAILED(device.Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                               reinterpret_cast<void**>(&client)))) {
      return nullptr;
    }
    return Com<IAudioClient>(client);
  }

  // In shared mode the periodicity is 0 and the buffer a few of the engine's periods (first
  // try), or the engine's own choice (0).
  bool Initialize(IAudioClient& client, bool own_buffer) {
    WAVEFORMATEX* mix = nullptr;
    if (FAILED(client.GetMixFormat(&mix)) || !mix) return false;
    std::unique_ptr<WAVEFORMATEX, TaskMemory> kept(mix);
    std::optional<MixFormat> format = MixFormatOf(*mix);
    if (!format) return false;
    REFERENCE_TIME period = 0, least = 0;
    if (FAILED(client.GetDevicePeriod(&period, &least)) || period <= 0) period = kUsualPeriod;
    period_ = period;
    REFERENCE_TIME buffer = own_buffer ? kBufferPeriods * period : 0;
    if (FAILED(client.Initialize(AUDCLNT_SHAREMODE_SHARED,
                                 AUDCLNT_STREAMFLAGS_EVENTCALLBACK | AUDCLNT_STREAMFLAGS_NOPERSIST,
                                 buffer, 0, mix, nullptr)) ||
        FAILED(client.SetEventHandle(room_))) {
      return false;
    }
    format_ = *format;
    return true;
  }

  HANDLE room_ = nullptr;
  Com<IAudioClient> client_;
  Com<IAudioRenderClient> render_;
  Com<IAudioClock> clock_;
  UINT32 buffer_frames_ = 0;
  REFERENCE_TIME period_ = kUsualPeriod;
  UINT64 frequency_ = 0;
  MixFormat format_;
};

}  // namespace

std::unique_ptr<SoundStream> OpenAudioClientStream(IMMDevice& device) {
  auto stream = std::make_unique<AudioClientStream>();
  if (!stream->Open(device)) return nullptr;
  return stream;
}

HANDLE RoomEventOf(SoundStream& stream) {
  return static_cast<AudioClientStream&>(stream).RoomEvent();
}

}  // namespace quorvane::player
