// v270-e2e-helper: asks Windows, from inside the Wine session of a test, what a user's desktop
// would tell: the main window's state, a message box's text, the pointer speed; and sends the
// main window the system messages a test cannot make with the pointer (a power broadcast,
// WM_CLOSE as a window manager's close button sends it).
//
//   v270-e2e-helper.exe window            "count=N visible=0|1 iconic=0|1" for the main window
//   v270-e2e-helper.exe power             sends WM_POWERBROADCAST (resume) to the main window
//   v270-e2e-helper.exe close             posts WM_CLOSE to the main window
//   v270-e2e-helper.exe minimize          minimises the main window
//   v270-e2e-helper.exe taskbar-created   removes the main window's tray icon and sends it
//                                         TaskbarCreated, as an Explorer restart does
//   v270-e2e-helper.exe hold FILE         opens FILE shared with no one, as a scanner may at
//                                         logon; prints "held", keeps it until its standard
//                                         input ends, then prints "released"
//   v270-e2e-helper.exe speed             prints the pointer speed (SPI_GETMOUSESPEED)
//   v270-e2e-helper.exe set-speed N       sets it, as the control panel would
//   v270-e2e-helper.exe message CAPTION   prints the text of the message box titled CAPTION
//   v270-e2e-helper.exe dismiss CAPTION   presses the OK button of that message box
//   v270-e2e-helper.exe yes CAPTION       presses the Yes button of that question
//   v270-e2e-helper.exe list ID           prints the rows of the main window's list box ID,
//                                         one per line (none when it is empty)
//   v270-e2e-helper.exe row-height ID     prints the height of that list box's rows
//   v270-e2e-helper.exe enabled ID        prints 1 when the main window's control ID takes
//                                         input, else 0
//   v270-e2e-helper.exe edit-text CLASS   prints the text of the first edit control of the first
//                                         window of class CLASS (another program's window)
//   v270-e2e-helper.exe ping              "answered" when the main window's thread takes a
//                                         message within 5 s, else "hung"
//   v270-e2e-helper.exe logon-task        the program's logon task as the Task Scheduler gives
//                                         it back, one "key=value" a line: registered=0|1, then
//                                         trigger=logon|none, runlevel=highest|other,
//                                         priority, user, command, arguments
//   v270-e2e-helper.exe logon-task-remove deletes that task
//   v270-e2e-helper.exe logon-task-add PROGRAM
//                                         registers it for PROGRAM as the program does
//   v270-e2e-helper.exe rights PATH       prints the owner and access list of PATH (SDDL)
//   v270-e2e-helper.exe hold-machine-name SECONDS
//                                         holds the machine-wide name of a running driver, as
//                                         one in another user's session would; prints "held"
//   v270-e2e-helper.exe post MESSAGE WPARAM LPARAM
//                                         posts the main window a message (hexadecimal numbers),
//                                         as any program could
//   v270-e2e-helper.exe send MESSAGE WPARAM LPARAM
//                                         the same sent, waiting at most 5 s; prints the
//                                         window's answer (decimal)
//   v270-e2e-helper.exe copy-data TAG HEX sends the main window WM_COPYDATA with dwData TAG
//                                         (hexadecimal) and the bytes HEX ("-" for none);
//                                         prints the window's answer
//   v270-e2e-helper.exe foreground        prints the title of the foreground window
//   v270-e2e-helper.exe front SECONDS     shows a window titled "V270 E2E Front" in front, as a
//                                         game would be, and keeps it for SECONDS
//   v270-e2e-helper.exe notice            "visible=0|1 left=L top=T right=R bottom=B
//                                         exstyle=0xX work=L,T,R,B" for the notice window
//   v270-e2e-helper.exe about             opens the about box, as its system-menu entry does
//   v270-e2e-helper.exe version FILE      prints the version resource of FILE as a file's
//                                         properties show it: "FileVersion=..." and the rest
//   v270-e2e-helper.exe accessible        the main window's children as a screen reader gets
//                                         them (AccessibleObjectFromWindow): one per line,
//                                         "ROLE STATE NAME", role and state in hexadecimal
//
// Writes its lines and exits 0, or exits 1 when the window asked for does not exist.
#include <windows.h>
// windows.h first.
#include <sddl.h>

#include <oleacc.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/logon_task_win32.h"

namespace {

// The main window's tray icon.
constexpr UINT kTrayIconId = 153;

const wchar_t* const kTitles[] = {L"VELKO V270 GAMING MOUSE", L"VELKO V270竞技游戏鼠标"};

HWND mainWindow() {
    for (const wchar_t* title : kTitles) {
        if (HWND window = FindWindowW(nullptr, title))
            return window;
    }
    return nullptr;
}

struct Count {
    int windows = 0;
};

BOOL CALLBACK countMainWindows(HWND window, LPARAM parameter) {
    wchar_t title[128] = {};
    GetWindowTextW(window, title, 128);
    for (const wchar_t* wanted : kTitles) {
        if (std::wcscmp(title, wanted) == 0)
            ++reinterpret_cast<Count*>(parameter)->windows;
    }
    return TRUE;
}

BOOL CALLBACK collectText(HWND window, LPARAM parameter) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (_wcsicmp(className, L"Static") == 0) {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        if (text[0] != L'\0')
            *reinterpret_cast<std::wstring*>(parameter) += text;
    }
    return TRUE;
}

void printUtf8(const std::wstring& text) {
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), bytes, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
}

void printUtf8(const std::u16string& text) {
    printUtf8(std::wstring(text.begin(), text.end()));
}

std::wstring titleOf(HWND window) {
    wchar_t title[256] = {};
    if (window != nullptr)
        GetWindowTextW(window, title, 256);
    return title;
}

// A plain window in front that keeps its messages running until `seconds` have passed.
int holdFront(int seconds) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"V270E2EFront";
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"V270 E2E Front",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 200, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr)
        return 1;
    SetForegroundWindow(window);
    SetTimer(window, 1, static_cast<UINT>(seconds) * 1000u, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER)
            break;
        DispatchMessageW(&message);
    }
    DestroyWindow(window);
    std::printf("ok\n");
    return 0;
}

// Keeps `file` open with no sharing until the standard input ends.
int holdFile(const wchar_t* file) {
    HANDLE held = CreateFileW(file, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        return 1;
    std::printf("held\n");
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    CloseHandle(held);
    std::printf("released\n");
    return 0;
}

// The fixed version numbers and the English strings of a file's version resource.
int printVersion(const wchar_t* file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    std::vector<BYTE> data(size);
    if (size == 0 || !GetFileVersionInfoW(file, 0, size, data.data()))
        return 1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
        fixed != nullptr) {
        std::printf("FILEVERSION=%u.%u.%u.%u\n", unsigned{HIWORD(fixed->dwFileVersionMS)},
                    unsigned{LOWORD(fixed->dwFileVersionMS)},
                    unsigned{HIWORD(fixed->dwFileVersionLS)},
                    unsigned{LOWORD(fixed->dwFileVersionLS)});
    }
    for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"ProductName",
                                L"ProductVersion", L"OriginalFilename"}) {
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* value = nullptr;
        if (VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) &&
            value != nullptr) {
            printUtf8(std::wstring(name) + L"=" + value);
        }
    }
    return 0;
}

int run(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    const std::wstring command = argv[1];
    if (command == L"foreground") {
        printUtf8(titleOf(GetForegroundWindow()));
        return 0;
    }
    if (command == L"front" && argc == 3)
        return holdFront(_wtoi(argv[2]));
    if (command == L"notice") {
        HWND notice = FindWindowW(L"V270 Notice", nullptr);
        if (notice == nullptr)
            return 1;
        RECT rect{};
        GetWindowRect(notice, &rect);
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        std::printf(
            "visible=%d left=%ld top=%ld right=%ld bottom=%ld exstyle=0x%lx work=%ld,%ld,%ld,%ld\n",
            IsWindowVisible(notice) ? 1 : 0, rect.left, rect.top, rect.right, rect.bottom,
            static_cast<unsigned long>(GetWindowLongW(notice, GWL_EXSTYLE)), work.left, work.top,
            work.right, work.bottom);
        return 0;
    }
    if (command == L"version" && argc == 3)
        return printVersion(argv[2]);
    if (command == L"hold" && argc == 3)
        return holdFile(argv[2]);
    if (command == L"speed") {
        int speed = 0;
        SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0);
        std::printf("%d\n", speed);
        return 0;
    }
    if (command == L"set-speed" && argc == 3) {
        const auto speed = static_cast<UINT_PTR>(_wtoi(argv[2]));
        SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<void*>(speed),
                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        std::printf("ok\n");
        return 0;
    }
    if ((command == L"message" || command == L"dismiss" || command == L"yes") && argc == 3) {
        HWND box = FindWindowW(nullptr, argv[2]);
        if (box == nullptr)
            return 1;
        if (command != L"message") {
            PostMessageW(box, WM_COMMAND, command == L"yes" ? IDYES : IDOK, 0);
            std::printf("ok\n");
            return 0;
        }
        std::wstring text;
        EnumChildWindows(box, collectText, reinterpret_cast<LPARAM>(&text));
        printUtf8(text);
        return 0;
    }
    if (command == L"edit-text" && argc == 3) {
        HWND owner = FindWindowW(argv[2], nullptr);
        HWND edit = owner != nullptr ? FindWindowExW(owner, nullptr, L"Edit", nullptr) : nullptr;
        if (edit == nullptr)
            return 1;
        // Asked with messages: GetWindowText does not ask another program's controls.
        std::vector<wchar_t> text(
            static_cast<size_t>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
        SendMessageW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        printUtf8(text.data());
        return 0;
    }
    if (command == L"rights" && argc == 3) {
        const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
        DWORD size = 0;
        GetFileSecurityW(argv[2], parts, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        LPWSTR text = nullptr;
        if (size == 0 || !GetFileSecurityW(argv[2], parts, buffer.data(), size, &size) ||
            !ConvertSecurityDescriptorToStringSecurityDescriptorW(buffer.data(), SDDL_REVISION_1,
                                                                  parts, &text, nullptr)) {
            return 1;
        }
        printUtf8(std::wstring(text));
        LocalFree(text);
        return 0;
    }
    if (command == L"hold-machine-name" && argc == 3) {
        HANDLE name = CreateMutexW(nullptr, FALSE, L"Global\\DAVO_RUravuVez");
        std::printf("held\n");
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(_wtoi(argv[2])) * 1000u);
        CloseHandle(name);
        return 0;
    }
    if (command == L"logon-task" || command == L"logon-task-remove" ||
        (command == L"logon-task-add" && argc == 3)) {
        v270::win32::Win32LogonTask task(v270::win32::logonTaskNameForCurrentUser());
        if (command == L"logon-task-remove") {
            std::printf("%s\n", task.remove().ok ? "ok" : "failed");
            return 0;
        }
        if (command == L"logon-task-add") {
            const std::wstring program = argv[2];
            std::printf("%s\n",
                        task.add(std::u16string(program.begin(), program.end()), u"--tray").ok
                            ? "ok"
                            : "failed");
            return 0;
        }
        const auto definition = task.readBack();
        std::printf("registered=%d\n", definition ? 1 : 0);
        if (definition) {
            std::printf("trigger=%s\nrunlevel=%s\npriority=%d\n",
                        definition->atLogon ? "logon" : "none",
                        definition->highestPrivileges ? "highest" : "other",
                        static_cast<int>(definition->priority));
            printUtf8(u"user=" + definition->userId);
            printUtf8(u"command=" + definition->command);
            printUtf8(u"arguments=" + definition->arguments);
        }
        return 0;
    }
    if (command == L"window") {
        Count count;
        EnumWindows(countMainWindows, reinterpret_cast<LPARAM>(&count));
        HWND window = mainWindow();
        std::printf("count=%d visible=%d iconic=%d\n", count.windows,
                    window != nullptr && IsWindowVisible(window) ? 1 : 0,
                    window != nullptr && IsIconic(window) ? 1 : 0);
        return 0;
    }
    HWND window = mainWindow();
    if (window == nullptr)
        return 1;
    if (command == L"copy-data" && argc == 4) {
        const std::wstring hex = argv[3];
        std::vector<BYTE> bytes;
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes.push_back(static_cast<BYTE>(std::wcstoul(hex.substr(i, 2).c_str(), nullptr, 16)));
        COPYDATASTRUCT data{static_cast<ULONG_PTR>(std::wcstoull(argv[2], nullptr, 16)),
                            static_cast<DWORD>(bytes.size()),
                            bytes.empty() ? nullptr : bytes.data()};
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                            SMTO_ABORTIFHUNG, 5000, &result);
        std::printf("%d\n", static_cast<int>(result));
        return 0;
    }
    if (command == L"list" && argc == 3) {
        HWND list = GetDlgItem(window, _wtoi(argv[2]));
        if (list == nullptr)
            return 1;
        const auto rows = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT row = 0; row < rows; ++row) {
            std::vector<wchar_t> text(static_cast<size_t>(SendMessageW(
                                          list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0)) +
                                          1,
                                      L'\0');
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(text.data()));
            printUtf8(text.data());
        }
        return 0;
    }
    if (command == L"enabled" && argc == 3) {
        HWND control = GetDlgItem(window, _wtoi(argv[2]));
        if (control == nullptr)
            return 1;
        std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
        return 0;
    }
    if (command == L"row-editor" && argc == 3) {
        // The in-place editor of a list's row, a child of the list while an edit goes on.
        HWND list = GetDlgItem(window, _wtoi(argv[2]));
        HWND edit = list != nullptr ? FindWindowExW(list, nullptr, L"Edit", nullptr) : nullptr;
        if (edit == nullptr)
            return 1;
        std::printf("open\n");
        return 0;
    }
    if (command == L"row-height" && argc == 3) {
        HWND list = GetDlgItem(window, _wtoi(argv[2]));
        if (list == nullptr)
            return 1;
        std::printf("%d\n", static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)));
        return 0;
    }
    if (command == L"accessible") {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IAccessible* client = nullptr;
        const HRESULT found =
            AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&client));
        if (FAILED(found)) {
            std::fprintf(stderr, "AccessibleObjectFromWindow: 0x%08lx\n",
                         static_cast<unsigned long>(found));
            return 3;
        }
        long count = 0;
        client->get_accChildCount(&count);
        for (long id = 1; id <= count; ++id) {
            VARIANT child;
            VariantInit(&child);
            child.vt = VT_I4;
            child.lVal = id;
            VARIANT role;
            VARIANT state;
            VariantInit(&role);
            VariantInit(&state);
            BSTR name = nullptr;
            client->get_accRole(child, &role);
            client->get_accState(child, &state);
            client->get_accName(child, &name);
            std::printf("%lx %lx ", role.vt == VT_I4 ? role.lVal : 0L,
                        state.vt == VT_I4 ? state.lVal : 0L);
            printUtf8(name != nullptr ? name : L"");
            SysFreeString(name);
        }
        client->Release();
        CoUninitialize();
        return 0;
    }
    if (command == L"ping") {
        // Whether the window's thread takes a message within five seconds.
        DWORD_PTR result = 0;
        const bool answered =
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
        std::printf("%s\n", answered ? "answered" : "hung");
        return 0;
    }
    if ((command == L"post" || command == L"send") && argc == 5) {
        const auto number = [](const wchar_t* text) { return std::wcstoull(text, nullptr, 16); };
        const auto message = static_cast<UINT>(number(argv[2]));
        const auto first = static_cast<WPARAM>(number(argv[3]));
        const auto second = static_cast<LPARAM>(number(argv[4]));
        if (command == L"send") {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window, message, first, second, SMTO_ABORTIFHUNG, 5000, &result);
            std::printf("%lld\n", static_cast<long long>(result));
            return 0;
        }
        const bool posted = PostMessageW(window, message, first, second) != 0;
        std::printf("%s\n", posted ? "ok" : "failed");
        return 0;
    }
    if (command == L"power") {
        SendMessageW(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    } else if (command == L"close") {
        PostMessageW(window, WM_CLOSE, 0, 0);
    } else if (command == L"about") {
        // The system-menu entry's command; posted, since the box runs modally.
        PostMessageW(window, WM_SYSCOMMAND, 16, 0);
    } else if (command == L"minimize") {
        ShowWindow(window, SW_MINIMIZE);
    } else if (command == L"taskbar-created") {
        // What an Explorer restart does: the icons of the old taskbar are gone, and the new one
        // tells every top-level window.
        NOTIFYICONDATAW icon{};
        icon.cbSize = sizeof icon;
        icon.hWnd = window;
        icon.uID = kTrayIconId;
        Shell_NotifyIconW(NIM_DELETE, &icon);
        SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    } else {
        return 2;
    }
    std::printf("ok\n");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int result = run(argc, argv);
    std::fflush(stdout);
    return result;
}
