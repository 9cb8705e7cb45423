// Windows' notifications about audio endpoints, reduced to what the sound output follows: the
// default render device for multimedia changed, or a device came or became active (so that a clip
// playing without one finds it). COM calls it on threads of its own: it only sets a flag and an
// event, as the documentation asks of its callbacks.
#pragma once

#include <windows.h>
// mmdeviceapi.h needs windows.h first.
#include <mmdeviceapi.h>

#include <atomic>

namespace quorvane::player {

class DeviceNotifications final : public IMMNotificationClient {
 public:
  // changed is signalled with each notification that matters; the object does not own it.
  explicit DeviceNotifications(HANDLE changed) : changed_(changed) {}

  // Whether the default device changed, or a device came, since this was last asked.
  bool TakeDefaultChange() { return default_changed_.exchange(false); }
  bool TakeDeviceCame() { return device_came_.exchange(false); }

  // IUnknown: the object lives as long as its owner, who unregisters it first.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  // IMMNotificationClient
  HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override;
  HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override;
  HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD state) override;
  HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override {
    return S_OK;
  }

 private:
  void Changed(std::atomic<bool>& flag);

  HANDLE changed_;
  std::atomic<bool> default_changed_{false};
  std::atomic<bool> device_came_{false};
  std::atomic<ULONG> references_{1};
};

}  // namespace quorvane::player
