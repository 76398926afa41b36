// The device link with its threads running: the reader against a blocking and a flooding
// device, and applies, DPI steps and searches from other threads at the same time.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "device/device_link.h"
#include "device/input_reader.h"
#include "device_fakes.h"
#include "fake_hid.h"
#include "settings/ini_files.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using test::eventually;

class DeviceThreadsTest : public testing::Test {
  protected:
    test::TempFolder folder;
    IniFiles files;
    ProfileStore store{files, folder / "config.ini"};
    test::FakeHidSystem hid;
    test::RecordingViewPort window;
    test::CountingStartPrompt startPrompt;
    test::FakeSystemSettings system;
    test::YieldingClock clock;
    BannerState banner;
    HandOverFlags flags;
    DeviceLink link{DeviceLinkServices{hid, store, banner, startPrompt, window, system}};
    InputReader reader{InputReaderServices{link.interfaces(), flags, banner, store, window, clock}};

    void SetUp() override {
        hid.interfaces = {test::inputInterface(), test::featureInterface()};
        store.edit([](ConfigProfile& p) { p = builtInDefaultProfile(0); });
    }
    std::shared_ptr<test::FakeEndpoint> input() {
        return hid.endpoint(test::inputInterface().listing.path);
    }
};

TEST_F(DeviceThreadsTest, ReaderSleepsUntilTheMouseIsFoundAndThenHandsOverPresses) {
    reader.ensureRunning();
    ASSERT_TRUE(reader.running());

    link.FindMouse();
    link.ApplySettings();  // slot 6 is a host function: the prompt is up
    ASSERT_EQ(banner.driverWorking.load(), 0);
    input()->deliver({0x06, 0xF6});
    input()->deliver({0x06, 0x00});
    ASSERT_TRUE(eventually([&] { return banner.driverWorking.load() == 1; }));
    EXPECT_EQ(flags.pressPending.load(), 0) << "the press before the start signal is ignored";

    input()->deliver({0x06, 0xF6});
    ASSERT_TRUE(eventually([&] { return flags.pressPending.load() == 1; }));
    EXPECT_EQ(flags.pressedKeyCode.load(), 0xF6);
}

TEST_F(DeviceThreadsTest, AStopEndsAReadThatIsBlockedAndTheSleepBeforeTheMouse) {
    reader.ensureRunning();
    reader.stop();
    EXPECT_FALSE(reader.running());

    InputReader second{InputReaderServices{link.interfaces(), flags, banner, store, window, clock}};
    link.FindMouse();
    second.ensureRunning();
    ASSERT_TRUE(input()->waitForReads(1));
    second.stop();
    EXPECT_FALSE(second.running());
    second.ensureRunning();
    EXPECT_FALSE(second.running()) << "a stopped reader starts no thread again";
}

TEST_F(DeviceThreadsTest, AReadBlockedOnAnEarlierInterfaceFinishesThereAndMovesOn) {
    link.FindMouse();
    std::jthread thread([&](std::stop_token stop) { reader.InputReaderThread(stop); });
    ASSERT_TRUE(input()->waitForReads(1));

    hid.interfaces = {test::inputInterface(8, u"replug"), test::featureInterface()};
    link.FindMouse();
    EXPECT_EQ(hid.closedDevices(), 1) << "only the feature device: the reader holds the other";

    input()->deliver({0x06, 0xF1});
    ASSERT_TRUE(eventually([&] { return flags.pressPending.load() == 1; }));
    flags.pressPending = 0;
    const auto replugged = hid.endpoint(u"replug");
    ASSERT_TRUE(replugged->waitForReads(1));
    EXPECT_EQ(hid.closedDevices(), 2) << "the earlier one is closed once the read let go";
    replugged->deliver({0x06, 0xF2});
    ASSERT_TRUE(eventually([&] { return flags.pressPending.load() == 1; }));
    EXPECT_EQ(flags.pressedKeyCode.load(), 0xF2);
}

// A handle whose device went without a notice fails every read: it is retried ever more
// slowly, then left until a search publishes another interface; no spinning every 2 ms.
TEST_F(DeviceThreadsTest, ADeadHandleIsRetriedEverMoreSlowlyThenLeftForTheNextSearch) {
    link.FindMouse();
    input()->failReads();
    std::jthread thread([&](std::stop_token stop) { reader.InputReaderThread(stop); });
    std::vector<std::chrono::microseconds> doubling;
    for (int pause = 2; pause <= 1024; pause *= 2)
        doubling.emplace_back(std::chrono::milliseconds(pause));
    ASSERT_TRUE(eventually([&] { return clock.waits().size() >= doubling.size(); }));

    hid.interfaces = {test::inputInterface(8, u"replug"), test::featureInterface()};
    link.FindMouse();
    hid.endpoint(u"replug")->deliver({0x06, 0xF2});
    ASSERT_TRUE(eventually([&] { return flags.pressPending.load() == 1; }));
    EXPECT_EQ(input()->readsStarted(), static_cast<int>(doubling.size()));
    const auto waits = clock.waits();
    EXPECT_EQ(
        std::vector(waits.begin(), waits.begin() + static_cast<std::ptrdiff_t>(doubling.size())),
        doubling);
}

// The system asks for the handles while the reader is blocked in a read: the read ends and both
// handles are closed before the answer; the reader then sleeps until the mouse is found again.
TEST_F(DeviceThreadsTest, AQueryRemoveEndsABlockedReadAndClosesBothHandles) {
    link.FindMouse();
    reader.ensureRunning();
    ASSERT_TRUE(input()->waitForReads(1));
    EXPECT_EQ(link.onDeviceNotice(
                  {platform::DeviceNotice::Kind::QueryRemove, test::inputInterface().listing.path}),
              DeviceChangeOutcome::MouseRemoved);
    EXPECT_EQ(hid.closedDevices(), 2);

    EXPECT_EQ(link.onDeviceNotice({platform::DeviceNotice::Kind::RemoveCancelled,
                                   test::inputInterface().listing.path}),
              DeviceChangeOutcome::MouseArrived);
    input()->deliver({0x06, 0xF1});
    ASSERT_TRUE(eventually([&] { return flags.pressPending.load() == 1; }));
}

// The reader takes a flood of presses while two threads apply profiles, one steps the DPI
// level and toggles the LED, one plays the executor and one searches again. Under
// ThreadSanitizer this shows the shared state race-free; the report stream shows that no two
// applies mixed their reports.
TEST_F(DeviceThreadsTest, FloodOfReportsWhileApplyingStaysConsistent) {
    link.FindMouse();
    input()->flood({0x06, 0xF3});
    std::jthread readerThread([&](std::stop_token stop) { reader.InputReaderThread(stop); });

    constexpr int kRounds = 20;
    std::atomic<int> handedOver{0};
    std::jthread executor([&](std::stop_token stop) {
        while (!stop.stop_requested()) {
            if (flags.pressPending.load(std::memory_order_acquire) == 1) {
                if (flags.pressedKeyCode.load(std::memory_order_relaxed) == 0xF3)
                    ++handedOver;
                flags.pressPending.store(0, std::memory_order_release);
                flags.stopRequested.store(0);
            }
            flags.wakeup.wait(stop);
        }
    });
    {
        std::jthread uiApplies([&] {
            for (int i = 0; i < kRounds; ++i) {
                link.ApplySettings();
                if (i % 10 == 0)
                    link.FindMouse();
            }
        });
        std::jthread executorApplies([&] {
            for (int i = 0; i < kRounds; ++i) {
                store.edit([&](ConfigProfile& p) { p.fireTime = i % 2 == 0 ? 80 : 160; });
                link.ApplySettings();
            }
        });
        std::jthread dpi([&] {
            for (int i = 0; i < kRounds * 4; ++i) {
                link.changeDpiLevel(i % 3 == 0 ? 2 : (i % 3 == 1 ? 1 : -1));
                if (i % 7 == 0)
                    link.toggleLed();
                (void)link.dpiStep(i % kButtonCount);
            }
        });
    }
    ASSERT_TRUE(eventually([&] { return handedOver.load() > 0; }));

    // Leaving out the DPI and LED reports, which any thread may send between two others, the
    // stream is whole applies one after another.
    const std::vector<std::string> perApply = {"10 01", "10 02", "10 03", "10 05",
                                               "10 04", "10 06", "11 00"};
    std::vector<std::string> stream;
    for (const auto& bytes :
         hid.endpoint(test::featureInterface().listing.path)->featureReports()) {
        ASSERT_EQ(bytes.size(), 9u);
        ASSERT_EQ(bytes[0], 0x07);
        if (bytes[1] == 0x09)
            continue;
        stream.push_back(test::hex(std::span(bytes).subspan(1, 2)));
    }
    ASSERT_FALSE(stream.empty());
    ASSERT_EQ(stream.size() % (perApply.size() + 1), 0u);
    for (size_t i = 0; i < stream.size(); i += perApply.size() + 1) {
        for (size_t k = 0; k < perApply.size(); ++k)
            ASSERT_EQ(stream[i + k], perApply[k]) << i;
        ASSERT_TRUE(stream[i + perApply.size()].starts_with("12 ")) << i;
    }
}

// A profile save from the user interface waits for config.ini while the executor's DPI step
// changes the level: the save writes the profile as it is when it writes, so the new level is
// never overwritten with the old one, whichever of the two saves lands last.
TEST_F(DeviceThreadsTest, ADpiSaveRacingAProfileSaveLosesNothing) {
    const std::filesystem::path config = folder / "config.ini";
    store.edit([](ConfigProfile& p) { p.dpiLevel = 0; });

    std::mutex mutex;
    std::condition_variable changed;
    bool fileBusy = false;
    bool release = false;
    std::jthread otherWriter([&] {
        files.update(folder / "other.ini", [&](IniDocument&) {
            std::unique_lock lock(mutex);
            fileBusy = true;
            changed.notify_all();
            changed.wait(lock, [&] { return release; });
        });
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return fileBusy; });
    }
    std::jthread profileSave([&] { store.saveProfile(config, 2); });
    // Give the save time to reach the file; a save that took its copy too early shows now.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    store.edit([](ConfigProfile& p) { p.dpiLevel = 3; });
    {
        const std::lock_guard lock(mutex);
        release = true;
    }
    changed.notify_all();
    otherWriter.join();
    profileSave.join();
    EXPECT_EQ(files.read(config, u"Config2", u"DPI_LEVEL", 5), u"3");
    store.saveDpiLevel(config, 2);
    EXPECT_EQ(files.read(config, u"Config2", u"DPI_LEVEL", 5), u"3");
}

}  // namespace
}  // namespace v270
