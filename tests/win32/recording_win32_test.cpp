// The advanced page's Windows parts, run for real under Wine: the keyboard capture of a
// recording and the step list's in-place editor.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "actions/macro_recorder.h"
#include "app/win32/editable_list_box.h"
#include "app/win32/message_filter.h"
#include "app/win32/window_messages.h"
#include "platform/win32/keyboard_capture_win32.h"

namespace v270 {
namespace {

constexpr UINT kCaptured = WM_APP + 9;

// A top-level window that keeps what it is told: captured keys and the step list's messages.
class Receiver {
  public:
    Receiver() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Receiver::procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"V270RecordingTest";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, L"V270RecordingTest", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Receiver() { DestroyWindow(window_); }
    HWND get() const { return window_; }

    // Dispatches what has come, for up to `milliseconds`, until `done` holds.
    template <typename Done>
    bool pumpUntil(Done done, DWORD milliseconds = 5000) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > milliseconds)
                return false;
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(1);
        }
        return true;
    }

    // The capture whose keys the window takes when told that some wait.
    platform::KeyboardCapture* capture = nullptr;
    std::vector<platform::CapturedKey> keys;
    std::vector<std::string> listMessages;

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM first, LPARAM second) {
        auto* self = reinterpret_cast<Receiver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr) {
            switch (message) {
                case kCaptured:
                    if (self->capture != nullptr) {
                        for (const platform::CapturedKey& key : self->capture->takeKeys())
                            self->keys.push_back(key);
                    }
                    return 0;
                case win32::WM_LISTEDIT_CHANGED:
                    self->listMessages.push_back(
                        "changed " + std::to_string(first) + " from " +
                        std::string(reinterpret_cast<const wchar_t*>(second),
                                    reinterpret_cast<const wchar_t*>(second) +
                                        wcslen(reinterpret_cast<const wchar_t*>(second))));
                    return 0;
                case win32::WM_LISTEDIT_DONE:
                    self->listMessages.push_back("done");
                    return 0;
                case win32::kStepListRightClickMessage:
                    self->listMessages.push_back(
                        "right click row " + std::to_string(first & 0x7FFFFFFF) +
                        ((first & 0x80000000u) != 0 ? " inside" : " outside"));
                    return 0;
                default:
                    break;
            }
        }
        return DefWindowProcW(window, message, first, second);
    }
    HWND window_ = nullptr;
};

TEST(KeyboardCaptureWin32Test, KeysComeToTheWindowStampedAndOwnInputPassesOn) {
    Receiver receiver;
    auto capture = win32::captureKeyboard(receiver.get(), kCaptured);
    ASSERT_NE(capture, nullptr);
    receiver.capture = capture.get();
    EXPECT_EQ(win32::captureKeyboard(receiver.get(), kCaptured), nullptr) << "one at a time";

    const uint64_t before = platform::microsecondOfDayNow();
    // Injected from another thread, as the system's input comes from outside the window's; the
    // hook runs on the capture's own thread, and this one turns its messages meanwhile.
    std::thread injector([] {
        keybd_event(0x41, 0, 0, 0);
        keybd_event(0x41, 0, KEYEVENTF_KEYUP, platform::kOwnInputTag);  // our own: passes on
        keybd_event(VK_MENU, 0, 0, 0);
        keybd_event(0x42, 0, 0, 0);
        keybd_event(0x42, 0, KEYEVENTF_KEYUP, 0);
        keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    });
    const bool arrived = receiver.pumpUntil([&] { return receiver.keys.size() >= 5; });
    injector.join();
    ASSERT_TRUE(arrived);
    ASSERT_EQ(receiver.keys.size(), 5u);
    using platform::KeyTransition;
    EXPECT_EQ(receiver.keys[0].message, (platform::KeyMessage{KeyTransition::Down, 0x41}));
    EXPECT_EQ(receiver.keys[1].message.key, VK_MENU);
    EXPECT_TRUE(platform::isKeyDown(receiver.keys[1].message.transition));
    EXPECT_EQ(receiver.keys[2].message, (platform::KeyMessage{KeyTransition::Down, 0x42}))
        << "the swallowed Alt never reached the key state";
    EXPECT_EQ(receiver.keys[4].message.transition, KeyTransition::Up);
    for (const platform::CapturedKey& key : receiver.keys)
        EXPECT_GE(key.microsecondOfDay + 1000, before) << "stamped when it happened";
    // The message carries nothing: one posted by anybody, with any parameters, brings no key.
    PostMessageW(receiver.get(), kCaptured, 0x141, 0x7FFF'FFFF);
    MSG message;
    while (PeekMessageW(&message, receiver.get(), 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_EQ(receiver.keys.size(), 5u);

    receiver.capture = nullptr;
    capture.reset();
    receiver.keys.clear();
    EXPECT_NE(win32::captureKeyboard(receiver.get(), kCaptured), nullptr) << "free again";
}

// The window's thread busy (an apply, a file written) while keys come: the hook, on a thread
// of its own, takes and stamps them all the same, and the window finds them when it turns its
// loop again. A hook on the window's thread would keep every key of the system waiting, and
// past the system's timeout lose them.
TEST(KeyboardCaptureWin32Test, KeysAreTakenWhileTheWindowsThreadIsBusy) {
    Receiver receiver;
    const auto capture = win32::captureKeyboard(receiver.get(), kCaptured);
    ASSERT_NE(capture, nullptr);
    receiver.capture = capture.get();
    std::thread injector([] {
        keybd_event(0x43, 0, 0, 0);
        keybd_event(0x43, 0, KEYEVENTF_KEYUP, 0);
    });
    injector.join();  // this thread turns no messages meanwhile
    const uint64_t injected = platform::microsecondOfDayNow();
    ASSERT_TRUE(receiver.pumpUntil([&] { return receiver.keys.size() >= 2; }));
    EXPECT_EQ(receiver.keys[0].message,
              (platform::KeyMessage{platform::KeyTransition::Down, 0x43}));
    for (const platform::CapturedKey& key : receiver.keys)
        EXPECT_LE(key.microsecondOfDay, injected) << "stamped as it came, not when handed over";
}

// Keys typed with known gaps of 1 to 500 ms, through the real hook into the recorder: how far a
// recorded delay is from the real gap. Figures, not assertions.
TEST(KeyboardCaptureWin32Test, RecordedDelaysAgainstTheRealGaps) {
    Receiver receiver;
    const auto capture = win32::captureKeyboard(receiver.get(), kCaptured);
    ASSERT_NE(capture, nullptr);
    receiver.capture = capture.get();
    constexpr int kGapsMs[] = {1, 2, 3, 5, 8, 13, 20, 35, 50, 80, 120, 200, 300, 500};
    std::vector<LONGLONG> sent;
    std::thread typist([&] {
        LARGE_INTEGER now{};
        for (size_t i = 0; i <= std::size(kGapsMs); ++i) {
            if (i > 0)
                Sleep(static_cast<DWORD>(kGapsMs[i - 1]));
            QueryPerformanceCounter(&now);
            sent.push_back(now.QuadPart);
            keybd_event(0x41, 0, i % 2 == 0 ? 0 : KEYEVENTF_KEYUP, 0);
        }
    });
    const bool typed =
        receiver.pumpUntil([&] { return receiver.keys.size() > std::size(kGapsMs); }, 20000);
    typist.join();
    ASSERT_TRUE(typed);

    MacroRecorder recorder;
    MacroRecord macro;
    recorder.start(macro, 0, u"gaps");
    for (const platform::CapturedKey& key : receiver.keys) {
        int32_t step = 0;
        recorder.onKey(macro, key.message, key.microsecondOfDay, step);
    }
    recorder.stop(macro);
    ASSERT_EQ(macro.stepCount, std::size(kGapsMs) + 1);
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    std::vector<double> errors;
    for (size_t i = 0; i < std::size(kGapsMs); ++i) {
        const double gap = static_cast<double>(sent[i + 1] - sent[i]) * 1000.0 /
                           static_cast<double>(frequency.QuadPart);
        errors.push_back(std::abs(macro.steps[i].delay - gap));
    }
    std::sort(errors.begin(), errors.end());
    std::printf("recorded delay error over %zu gaps of 1..500 ms: p50 %.2f ms, p99 %.2f ms\n",
                errors.size(), errors[errors.size() / 2],
                errors[static_cast<size_t>(0.99 * static_cast<double>(errors.size() - 1))]);
}

// The step list of the advanced page: a list box of three rows, row 1 selected.
class EditableListTest : public testing::Test {
  protected:
    EditableListTest() {
        list_ = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 0, 0, 200,
                                200, receiver.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
        for (const wchar_t* row : {L"[\x2193]A", L"    30ms", L"[\x2191]A"})
            SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
        SendMessageW(list_, LB_SETCURSEL, 1, 0);
        box = std::make_unique<win32::CEditableListBox>(list_);
    }
    HWND editor() const { return FindWindowExW(list_, nullptr, L"EDIT", nullptr); }
    std::wstring row(int index) const {
        wchar_t text[64] = {};
        SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }
    void type(const wchar_t* text) { SetWindowTextW(editor(), text); }

    Receiver receiver;
    HWND list_ = nullptr;
    std::unique_ptr<win32::CEditableListBox> box;
};

TEST_F(EditableListTest, CharacterOneOpensTheEditorAndEnterKeepsTheText) {
    SendMessageW(list_, WM_CHAR, 'x', 0);
    EXPECT_EQ(editor(), nullptr) << "only character 1 opens it";
    SendMessageW(list_, WM_CHAR, 1, 0);
    ASSERT_NE(editor(), nullptr);
    type(L"150");
    // The key-up of the Enter that chose "edit" in a menu comes after the editor opened.
    SendMessageW(editor(), WM_KEYUP, VK_RETURN, 0);
    receiver.pumpUntil([] { return false; }, 50);
    ASSERT_NE(editor(), nullptr) << "a key-up alone ends nothing";
    MSG enter{editor(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(SendMessageW(editor(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) &
                DLGC_WANTMESSAGE);
    SendMessageW(editor(), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(receiver.pumpUntil([&] { return !receiver.listMessages.empty(); }));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(row(1), L"150");
    EXPECT_EQ(SendMessageW(list_, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(receiver.listMessages, (std::vector<std::string>{"changed 1 from     30ms", "done"}));
}

TEST_F(EditableListTest, EscapeDiscardsAndLosingTheFocusKeeps) {
    SendMessageW(list_, WM_CHAR, 1, 0);
    type(L"999");
    SendMessageW(editor(), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(receiver.pumpUntil([&] { return !receiver.listMessages.empty(); }));
    EXPECT_EQ(row(1), L"    30ms");
    EXPECT_EQ(receiver.listMessages, std::vector<std::string>{"done"});

    receiver.listMessages.clear();
    SendMessageW(list_, WM_CHAR, 1, 0);
    type(L"45ms");
    SendMessageW(editor(), WM_KILLFOCUS, 0, 0);
    ASSERT_TRUE(receiver.pumpUntil([&] { return receiver.listMessages.size() >= 2; }));
    EXPECT_EQ(row(1), L"45ms");
}

TEST_F(EditableListTest, ARightClickReportsTheRowUnderThePointerAndTheMenuKeysTheSelectedOne) {
    const auto height = static_cast<int>(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0));
    SendMessageW(list_, WM_RBUTTONUP, 0, MAKELPARAM(10, height * 2 + 1));
    SendMessageW(list_, WM_RBUTTONUP, 0, MAKELPARAM(10, height * 5 + 1));
    // The context key, then Shift+F10 with no row selected; their key-ups open nothing more.
    SendMessageW(list_, WM_KEYDOWN, VK_APPS, 0);
    SendMessageW(list_, WM_KEYUP, VK_APPS, 0);
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    MSG shiftF10{list_, WM_SYSKEYDOWN, VK_F10, 0, 0, {}};
    EXPECT_TRUE(win32::controlTakesKey(shiftF10)) << "past the window's pre-filter";
    SendMessageW(list_, WM_SYSKEYDOWN, VK_F10, 0);
    SendMessageW(list_, WM_SYSKEYUP, VK_F10, 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    SendMessageW(list_, WM_SYSKEYDOWN, VK_F10, 0);  // F10 alone is not a menu key
    EXPECT_EQ(receiver.listMessages,
              (std::vector<std::string>{"right click row 2 inside", "right click row 5 inside",
                                        "right click row 1 inside", "right click row 0 inside"}));
}

}  // namespace
}  // namespace v270
