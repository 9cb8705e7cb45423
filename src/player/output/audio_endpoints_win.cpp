#include "player/output/audio_endpoints_win.h"

#include <windows.h>
// The audio headers need windows.h first.
#include <avrt.h>
#include <mmdeviceapi.h>

#include <cmath>

#include "player/output/audio_client_stream_win.h"
#include "player/output/device_notifications_win.h"
#include "win/system_library_win.h"
#include "win/thread_name_win.h"

namespace quorvane::player {

namespace {

struct Release {
  void operator()(IUnknown* object) const { object->Release(); }
};

// The feeding thread runs as Windows' own sound threads do ("Pro Audio"), or at the highest
// priority where avrt.dll is not there.
class SoundThreadPriority {
 public:
  void Raise() {
    static const Api api = LoadApi();
    api_ = &api;
    DWORD task = 0;
    if (api.set) task_ = api.set(L"Pro Audio", &task);
    if (!task_) SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  }
  void Revert() {
    if (task_) api_->revert(task_);
    task_ = nullptr;
  }

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
  const Api* api_ = nullptr;
  HANDLE task_ = nullptr;
};

double CounterFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart);
}

class AudioEndpoints final : public SoundDevices {
 public:
  AudioEndpoints()
      : wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
        changed_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
        notifications_(changed_),
        counter_frequency_(CounterFrequency()) {}
  ~AudioEndpoints() override {
    for (HANDLE event : {wake_, changed_}) {
      if (event) CloseHandle(event);
    }
  }

  void ThreadStarted() override {
    win::NameThisThread(L"quorvane_sound");
    com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    priority_.Raise();
    IMMDeviceEnumerator* enumerator = nullptr;
    if (com_ && SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                           __uuidof(IMMDeviceEnumerator),
                                           reinterpret_cast<void**>(&enumerator)))) {
      enumerator_.reset(enumerator);
      registered_ = SUCCEEDED(enumerator_->RegisterEndpointNotificationCallback(&notifications_));
    }
  }

  void ThreadEnding() override {
    if (registered_) enumerator_->UnregisterEndpointNotificationCallback(&notifications_);
    registered_ = false;
    enumerator_.reset();
    priority_.Revert();
    if (com_) CoUninitialize();
    com_ = false;
  }

  std::unique_ptr<SoundStream> OpenDefault() override {
    if (!enumerator_) return nullptr;
    IMMDevice* found = nullptr;
    if (FAILED(enumerator_->GetDefaultAudioEndpoint(eRender, eMultimedia, &found))) {
      return nullptr;
    }
    std::unique_ptr<IMMDevice, Release> device(found);
    return OpenAudioClientStream(*device);
  }

  bool DefaultChanged() override { return notifications_.TakeDefaultChange(); }
  bool DeviceCame() override { return notifications_.TakeDeviceCame(); }

  void Wait(SoundStream* stream, double seconds) override {
    HANDLE events[3] = {wake_, changed_, stream ? RoomEventOf(*stream) : nullptr};
    DWORD count = stream ? 3 : 2;
    DWORD timeout =
        seconds < 0 ? INFINITE : static_cast<DWORD>(std::ceil(std::min(seconds, 1e6) * 1000));
    WaitForMultipleObjects(count, events, FALSE, timeout);
  }

  void Wake() override { SetEvent(wake_); }

  double Now() const override {
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / counter_frequency_;
  }

 private:
  HANDLE wake_;
  HANDLE changed_;
  DeviceNotifications notifications_;
  double counter_frequency_;
  // The feeding thread's:
  bool com_ = false;
  bool registered_ = false;
  std::unique_ptr<IMMDeviceEnumerator, Release> enumerator_;
  SoundThreadPriority priority_;
};

}  // namespace

std::unique_ptr<SoundDevices> CreateAudioEndpoints() { return std::make_unique<AudioEndpoints>(); }

}  // namespace quorvane::player
