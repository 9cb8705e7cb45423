// FFmpeg makes its random seeds with bcrypt.dll, which is none of the DLLs Windows always takes
// from its own folder: imported, a bcrypt.dll beside the program would be loaded in its place.
// FFmpeg's objects call bcrypt through import slots; this program fills those slots itself,
// with functions that load bcrypt from the system folder when first called. Where it cannot
// be loaded they fail, and FFmpeg makes its seed from the clock instead.
#include <windows.h>
// bcrypt.h needs windows.h first.
#include <bcrypt.h>

#include "win/system_library_win.h"

namespace {

constexpr NTSTATUS kNotFound = static_cast<NTSTATUS>(0xC0000225L);  // STATUS_NOT_FOUND

HMODULE BcryptDll() {
  // Loaded once and kept for the life of the process, as an import would be.
  static const HMODULE dll = quorvane::win::LoadSystemLibrary(L"bcrypt.dll");
  return dll;
}

template <typename Function>
Function Bcrypt(const char* name) {
  return quorvane::win::DllFunction<Function>(BcryptDll(), name);
}

NTSTATUS WINAPI OpenAlgorithmProvider(BCRYPT_ALG_HANDLE* algorithm, LPCWSTR id,
                                      LPCWSTR implementation, ULONG flags) {
  auto open = Bcrypt<decltype(&::BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider");
  return open ? open(algorithm, id, implementation, flags) : kNotFound;
}

NTSTATUS WINAPI GenRandom(BCRYPT_ALG_HANDLE algorithm, PUCHAR buffer, ULONG size, ULONG flags) {
  auto generate = Bcrypt<decltype(&::BCryptGenRandom)>("BCryptGenRandom");
  return generate ? generate(algorithm, buffer, size, flags) : kNotFound;
}

NTSTATUS WINAPI CloseAlgorithmProvider(BCRYPT_ALG_HANDLE algorithm, ULONG flags) {
  auto close = Bcrypt<decltype(&::BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider");
  return close ? close(algorithm, flags) : kNotFound;
}

}  // namespace

// The slots under the names the compiler gives an imported function's: on 32-bit Windows with
// a leading underscore and the size of the arguments.
#ifdef _WIN64
#define QUORVANE_IMPORT_SLOT(name, bytes) "__imp_" name
#else
#define QUORVANE_IMPORT_SLOT(name, bytes) "__imp__" name "@" #bytes
#endif

extern "C" {
extern decltype(&::BCryptOpenAlgorithmProvider)
    const quorvane_bcrypt_open __asm__(QUORVANE_IMPORT_SLOT("BCryptOpenAlgorithmProvider", 16));
extern decltype(&::BCryptGenRandom)
    const quorvane_bcrypt_generate __asm__(QUORVANE_IMPORT_SLOT("BCryptGenRandom", 16));
extern decltype(&::BCryptCloseAlgorithmProvider)
    const quorvane_bcrypt_close __asm__(QUORVANE_IMPORT_SLOT("BCryptCloseAlgorithmProvider", 8));

decltype(&::BCryptOpenAlgorithmProvider) const quorvane_bcrypt_open = &OpenAlgorithmProvider;
decltype(&::BCryptGenRandom) const quorvane_bcrypt_generate = &GenRandom;
decltype(&::BCryptCloseAlgorithmProvider) const quorvane_bcrypt_close = &CloseAlgorithmProvider;
}
