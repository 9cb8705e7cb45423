// Loads each DLL named on its command line (names parted by blanks) by name alone, as a program
// that never restricts where DLLs come from does: beside it, a planted one is what it gets. It
// imports nothing but kernel32, so none of the names is loaded before it asks. Ends with the
// number of names it could not load.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
  int missing = 0;
  std::wstring names = arguments;
  size_t start = 0;
  while (start < names.size()) {
    size_t end = names.find(L' ', start);
    if (end == std::wstring::npos) end = names.size();
    if (end > start && !LoadLibraryW(names.substr(start, end - start).c_str())) ++missing;
    start = end + 1;
  }
  return missing;
}
