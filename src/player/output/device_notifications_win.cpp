#include "player/output/device_notifications_win.h"

namespace quorvane::player {

HRESULT STDMETHODCALLTYPE DeviceNotifications::QueryInterface(REFIID id, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(id, __uuidof(IUnknown)) || IsEqualIID(id, __uuidof(IMMNotificationClient))) {
    *object = static_cast<IMMNotificationClient*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE DeviceNotifications::OnDefaultDeviceChanged(EDataFlow flow, ERole role,
                                                                      LPCWSTR) {
  if (flow == eRender && role == eMultimedia) Changed(default_changed_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DeviceNotifications::OnDeviceAdded(LPCWSTR) {
  Changed(device_came_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DeviceNotifications::OnDeviceStateChanged(LPCWSTR, DWORD state) {
  if (state == DEVICE_STATE_ACTIVE) Changed(device_came_);
  return S_OK;
}

void DeviceNotifications::Changed(std::atomic<bool>& flag) {
  flag = true;
  SetEvent(changed_);
}

}  // namespace quorvane::player
