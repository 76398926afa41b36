// v270-startmarker: a program that only shows it was started, for tests of program starts. It
// creates the file "<its own path>.started" and exits.
#include <windows.h>

#include <string>
#include <vector>

int main() {
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return 1;
    const std::wstring marker = std::wstring(path.data(), length) + L".started";
    const HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(file);
    return 0;
}
