#include "player/output/audio_client_output_win.h"

#include <windows.h>
// The audio client's headers need windows.h first.
#include <audioclient.h>
#include <avrt.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "player/convert/mix_converter.h"
#include "player/sound/device_clock.h"
#include "win/system_library_win.h"

namespace quorvane::player {

namespace {

// What the device holds: Windows' shared-mode period is 10 ms, and three of them ride over a
// late wake of the feeding thread. The position a device reports is what it plays, so a short
// buffer costs nothing in the pictures' timing.
constexpr REFERENCE_TIME kDeviceBuffer = 30 * 10000;  // 100 ns units
// Silence before a clip's sound: a few of the device's steps, so that its position has begun to
// move, and is known, before the first sound is heard.
constexpr double kLeadIn = 0.06;
// Sound the worker may queue ahead of the device: enough to ride over a slow picture.
constexpr double kQueued = 0.8;
// A device that asks for nothing this long, or answers with an error, has gone away (its
// server stopped, the headphones were pulled): the clip goes on on the system clock.
constexpr double kStalled = 0.5;
// How long Stop waits for the feeding thread; one stuck in a device that stopped answering is
// left to end on its own.
constexpr DWORD kStopWaitMs = 500;

struct Release {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using Com = std::unique_ptr<T, Release>;

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

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

// The thread that feeds the device runs as Windows' own sound threads do ("Pro Audio"), or at
// the highest priority where avrt.dll is not there.
class SoundThreadPriority {
 public:
  SoundThreadPriority() {
    static const Api api = LoadApi();
    api_ = &api;
    DWORD task = 0;
    if (api.set) task_ = api.set(L"Pro Audio", &task);
    if (!task_) SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  }
  ~SoundThreadPriority() {
    if (task_) api_->revert(task_);
  }
  SoundThreadPriority(const SoundThreadPriority&) = delete;
  SoundThreadPriority& operator=(const SoundThreadPriority&) = delete;

 private:
  struct Api {
    decltype(&::AvSetMmThreadCharacteristicsW) set = nullptr;
    decltype(&::AvRevertMmThreadCharacteristics) revert = nullptr;
  };
  static Api LoadApi() {
    Api api;
    win::DllFunctions(win::LoadSystemLibrary(L"avrt.dll"),
                      win::Wanted{&api.set, "AvSetMmThreadCharacteristicsW"},
                      win::Wanted{&api.revert, "AvRevertMmThreadCharacteristics"});
    return api;
  }
  const Api* api_;
  HANDLE task_ = nullptr;
};

// One clip's stream on the device, shared by the output and its feeding thread (which may
// outlive the output's interest in it, when the device stops answering).
struct Stream {
  Com<IAudioClient> client;
  Com<IAudioRenderClient> render;
  Com<IAudioClock> clock;
  UINT32 buffer_frames = 0;
  UINT64 clock_frequency = 0;
  MixFormat format;
  HANDLE ready = nullptr;  // the device's: room in its buffer
  HANDLE stop = nullptr;   // the output's: the thread ends
  HANDLE data = nullptr;   // the output's: sound was queued
  HANDLE done = nullptr;   // the thread's: it has let go of the device

  std::mutex mutex;
  std::condition_variable room;
  // Under mutex:
  std::vector<uint8_t> queue;  // device frames, from queue_from on
  size_t queue_from = 0;
  bool started = false;
  bool ended = false;  // the clip's last sound is queued
  bool lost = false;
  size_t lead_in_left = 0;  // frames of the silence before the clip's sound still to give
  double last_fed = 0;      // when the device last took sound
  DeviceClock position;

  ~Stream() {
    for (HANDLE event : {ready, stop, data, done}) {
      if (event) CloseHandle(event);
    }
  }

  size_t FrameBytes() const { return static_cast<size_t>(format.FrameBytes()); }
  double Seconds(size_t frames) const { return static_cast<double>(frames) / format.rate; }
  size_t QueuedFrames() const { return (queue.size() - queue_from) / FrameBytes(); }

  // Gives the device what it has room for: queued sound, the silence before the clip's sound,
  // and silence where the sound comes too late (an underrun) or after its end. False once the
  // device has gone away.
  bool Feed() {
    UINT32 room_frames = buffer_frames;
    bool first;
    {
      std::lock_guard lock(mutex);
      if (lost) return false;
      first = !started;
      // The first feed waits for a little sound, or the end, to follow its silence.
      if (first && !ended && Seconds(QueuedFrames()) < kLeadIn) return true;
    }
    UINT32 padding = 0;
    if (!first && FAILED(client->GetCurrentPadding(&padding))) return Lose();
    room_frames -= std::min(padding, buffer_frames);
    std::vector<uint8_t> sound;
    size_t silence_before = 0, silence_after = 0;
    {
      std::lock_guard lock(mutex);
      silence_before = std::min<size_t>(room_frames, lead_in_left);
      lead_in_left -= silence_before;
      size_t take =
          lead_in_left > 0 ? 0 : std::min<size_t>(QueuedFrames(), room_frames - silence_before);
      auto from = queue.begin() + static_cast<std::ptrdiff_t>(queue_from);
      sound.assign(from, from + static_cast<std::ptrdiff_t>(take * FrameBytes()));
      queue_from += sound.size();
      if (queue_from > queue.size() / 2) {
        queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(queue_from));
        queue_from = 0;
      }
      // Less than a third of the buffer held: silence keeps the device going, and does not
      // count as the clip's time.
      size_t held = padding + silence_before + take;
      if (!first && lead_in_left == 0 && held < buffer_frames / 3) {
        silence_after =
            std::min<size_t>(buffer_frames / 3 - held, room_frames - silence_before - take);
      }
    }
    size_t frames = silence_before + sound.size() / FrameBytes() + silence_after;
    if (frames > 0) {
      BYTE* buffer = nullptr;
      if (FAILED(render->GetBuffer(static_cast<UINT32>(frames), &buffer))) return Lose();
      std::memset(buffer, 0, silence_before * FrameBytes());
      std::memcpy(buffer + silence_before * FrameBytes(), sound.data(), sound.size());
      std::memset(buffer + silence_before * FrameBytes() + sound.size(), 0,
                  silence_after * FrameBytes());
      if (FAILED(render->ReleaseBuffer(static_cast<UINT32>(frames), 0))) return Lose();
    }
    if (first && FAILED(client->Start())) return Lose();
    UINT64 at = 0, reported = 0;
    HRESULT read = clock->GetPosition(&at, &reported);
    std::lock_guard lock(mutex);
    started = true;
    position.Gave(Seconds(silence_before), false);
    position.Gave(Seconds(sound.size() / FrameBytes()), true);
    position.Gave(Seconds(silence_after), false);
    if (SUCCEEDED(read) && clock_frequency > 0) {
      position.Read(static_cast<double>(at) / static_cast<double>(clock_frequency),
                    static_cast<double>(reported) * 1e-7);
    }
    if (frames > 0) last_fed = Now();
    room.notify_all();
    return true;
  }

  bool Lose() {
    std::lock_guard lock(mutex);
    lost = true;
    room.notify_all();
    return false;
  }
};

// The feeding thread: wakes at the device's event (and at new sound before it has started),
// and ends at stop or once the device has gone away, stopping and letting go of the device.
void FeedDevice(std::shared_ptr<Stream> stream) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  {
    SoundThreadPriority priority;
    HANDLE events[] = {stream->stop, stream->ready, stream->data};
    while (WaitForMultipleObjects(3, events, FALSE, 20) != WAIT_OBJECT_0) {
      if (!stream->Feed()) break;
      std::lock_guard lock(stream->mutex);
      bool waiting = stream->started && !(stream->ended && stream->QueuedFrames() == 0 &&
                                          !stream->position.ClipSeconds(Now()));
      if (waiting && Now() - stream->last_fed > kStalled) {
        stream->lost = true;
        stream->room.notify_all();
        break;
      }
    }
    stream->client->Stop();
    stream->clock.reset();
    stream->render.reset();
    stream->client.reset();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  SetEvent(stream->done);
}

class AudioClientOutput final : public AudioOutput {
 public:
  ~AudioClientOutput() override { Stop(); }

  bool Start(SoundFormat sound) override {
    Stop();
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return false;
    com_ = true;
    auto stream = Open();
    if (!stream || !converter_.Start(sound, stream->format)) {
      Stop();
      return false;
    }
    stream_ = std::move(stream);
    {
      std::lock_guard lock(shared_mutex_);
      shared_ = stream_;
    }
    feeder_ = std::thread(FeedDevice, stream_);
    return true;
  }

  void Write(const int16_t* samples, size_t frames,
             const std::function<bool()>& cancelled) override {
    if (!stream_) return;
    converted_.clear();
    if (!converter_.Convert(samples, frames, converted_)) return;
    Queue(converted_, cancelled);
  }

  bool Ready() const override {
    if (!stream_) return true;  // Write drops the sound at once
    std::lock_guard lock(stream_->mutex);
    return stream_->lost || stream_->Seconds(stream_->QueuedFrames()) < kQueued;
  }

  void Drain() override {
    if (!stream_) return;
    converted_.clear();
    converter_.Flush(converted_);
    Queue(converted_, [] { return false; });
    std::lock_guard lock(stream_->mutex);
    stream_->ended = true;
    stream_->position.End();
    SetEvent(stream_->data);
  }

  void Finish(const std::function<bool()>& cancelled) override {
    if (!stream_) return;
    std::unique_lock lock(stream_->mutex);
    stream_->room.wait_for(lock, std::chrono::duration<double>(kQueued + 1), [&] {
      return stream_->lost || cancelled() ||
             (stream_->QueuedFrames() == 0 && !stream_->position.ClipSeconds(Now()));
    });
  }

  void Stop() override {
    if (feeder_.joinable()) {
      SetEvent(stream_->stop);
      // A thread stuck in a device that stopped answering is left to end on its own: it holds
      // its share of the stream.
      if (WaitForSingleObject(stream_->done, kStopWaitMs) == WAIT_OBJECT_0) {
        feeder_.join();
      } else {
        feeder_.detach();
      }
    }
    {
      std::lock_guard lock(shared_mutex_);
      shared_.reset();
    }
    stream_.reset();
    if (com_) CoUninitialize();
    com_ = false;
  }

  bool Playing() const override {
    if (!stream_) return false;
    std::lock_guard lock(stream_->mutex);
    return !stream_->lost;
  }

  std::optional<double> PlayedSeconds() override {
    std::shared_ptr<Stream> stream;
    {
      std::lock_guard lock(shared_mutex_);
      stream = shared_;
    }
    if (!stream) return std::nullopt;
    std::lock_guard lock(stream->mutex);
    if (stream->lost) return std::nullopt;
    return stream->position.ClipSeconds(Now());
  }

 private:
  // The default device's audio client in shared mode, fed from its event; nothing without one.
  std::shared_ptr<Stream> Open() {
    auto stream = std::make_shared<Stream>();
    IMMDeviceEnumerator* enumerator = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(&enumerator)))) {
      return nullptr;
    }
    Com<IMMDeviceEnumerator> devices(enumerator);
    IMMDevice* found = nullptr;
    if (FAILED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &found))) return nullptr;
    Com<IMMDevice> device(found);
    IAudioClient* client = nullptr;
    if (FAILED(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                reinterpret_cast<void**>(&client)))) {
      return nullptr;
    }
    stream->client.reset(client);
    WAVEFORMATEX* mix = nullptr;
    if (FAILED(client->GetMixFormat(&mix))) return nullptr;
    std::optional<MixFormat> format = MixFormatOf(*mix);
    HRESULT initialized =
        format
            ? client->Initialize(AUDCLNT_SHAREMODE_SHARED,
                                 AUDCLNT_STREAMFLAGS_EVENTCALLBACK | AUDCLNT_STREAMFLAGS_NOPERSIST,
                                 kDeviceBuffer, 0, mix, nullptr)
            : E_FAIL;
    CoTaskMemFree(mix);
    if (FAILED(initialized)) return nullptr;
    stream->format = *format;
    stream->ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    stream->stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    stream->data = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    stream->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    IAudioRenderClient* render = nullptr;
    IAudioClock* clock = nullptr;
    if (!stream->ready || !stream->stop || !stream->data || !stream->done ||
        FAILED(client->GetBufferSize(&stream->buffer_frames)) ||
        FAILED(client->SetEventHandle(stream->ready)) ||
        FAILED(
            client->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&render)))) {
      return nullptr;
    }
    stream->render.reset(render);
    if (FAILED(client->GetService(__uuidof(IAudioClock), reinterpret_cast<void**>(&clock)))) {
      return nullptr;
    }
    stream->clock.reset(clock);
    if (FAILED(clock->GetFrequency(&stream->clock_frequency))) return nullptr;
    stream->lead_in_left = static_cast<size_t>(kLeadIn * stream->format.rate);
    return stream;
  }

  // Puts converted sound in the queue, waiting while it is full, until cancelled or the device
  // has gone away (then the sound is dropped).
  void Queue(const std::vector<uint8_t>& bytes, const std::function<bool()>& cancelled) {
    size_t at = 0;
    std::unique_lock lock(stream_->mutex);
    size_t most = static_cast<size_t>(kQueued * stream_->format.rate) * stream_->FrameBytes();
    while (at < bytes.size() && !stream_->lost && !cancelled()) {
      size_t queued = stream_->queue.size() - stream_->queue_from;
      if (queued >= most) {
        stream_->room.wait_for(lock, std::chrono::milliseconds(20));
        continue;
      }
      size_t take = std::min(bytes.size() - at, most - queued);
      stream_->queue.insert(stream_->queue.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + take));
      at += take;
      if (!stream_->started) SetEvent(stream_->data);
    }
  }

  std::shared_ptr<Stream> stream_;  // the worker's
  std::mutex shared_mutex_;
  std::shared_ptr<Stream> shared_;  // the same, for PlayedSeconds on other threads
  std::thread feeder_;
  MixConverter converter_;
  std::vector<uint8_t> converted_;
  bool com_ = false;
};

}  // namespace

std::unique_ptr<AudioOutput> CreateAudioClientOutput() {
  return std::make_unique<AudioClientOutput>();
}

}  // namespace quorvane::player
