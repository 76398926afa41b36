// The threaded core under load for a while: the simulated mouse floods the input reader with
// presses and releases of its host-function buttons, the executor plays macros, chords, DPI and
// LED switches and the next profile, and a user-interface thread edits the profile, applies it
// and switches profiles, all at once. Under ThreadSanitizer this shows the shared state race-free;
// the counts show every press accounted for, and the report stream shows every report whole.
// V270_STRESS_SECONDS sets the duration (3 s unless given); scripts/stress.sh runs it long.
//
// A press may be lost only by the reader's rules. While driverWorking is 0 (an apply raised the
// start prompt, and the mouse's start signal, a release, has not come since) every report but the
// start signal is ignored. While pressPending is set (the executor is still busy with an earlier
// press) a press is not queued: it asks a running macro to stop in macro mode 0, and is dropped
// in mode 1. The HID transport also drops the oldest of more than 32 unread reports; the flood
// keeps fewer in flight, so here every report sent must be read.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <thread>

#include "report_stream_check.h"
#include "settings/text.h"
#include "stress_rig.h"
#include "ui/banner_text.h"
#include "ui/frame_state.h"
#include "ui/profile_edits.h"

namespace v270 {
namespace {

using namespace std::chrono_literals;
using test::StressRig;

std::chrono::seconds stressDuration() {
    const char* value = std::getenv("V270_STRESS_SECONDS");
    const long seconds = value != nullptr ? std::strtol(value, nullptr, 10) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : 3);
}

// The mouse's side: one button pressed and released after another, as fast as the reader takes
// them. A few reports at most are in flight, so that the input queue of the HID transport (32
// reports) never overflows and drops one.
class MouseFlood {
  public:
    static constexpr long kInFlight = 8;

    MouseFlood(StressRig& rig, unsigned seed) : rig_(rig), random_(seed) {}

    void run(std::stop_token stop) {
        while (!stop.stop_requested()) {
            const int button = std::uniform_int_distribution(1, kButtonCount)(random_);
            click(button, stop);
            // Now and then a pause, so that presses also find the executor idle.
            if (random_() % 4 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(random_() % 10));
        }
    }

    // Press and release; now and then the button is held a moment.
    void click(int button, std::stop_token stop = {}) {
        send("press", button, stop);
        if (random_() % 8 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1 + random_() % 3));
        send("release", button, stop);
    }

    long delivered() const { return delivered_; }

    std::array<long, kButtonCount + 1> pressesSent{};
    long releasesSent = 0;

  private:
    void send(const char* action, int button, std::stop_token stop) {
        while (delivered_ - rig_.observer.reportsRead() >= kInFlight && !stop.stop_requested())
            std::this_thread::yield();
        if (rig_.mouse(std::string(action) + " " + std::to_string(button)) != "ok")
            return;
        ++delivered_;
        if (action[0] == 'p')
            ++pressesSent[static_cast<size_t>(button)];
        else
            ++releasesSent;
    }

    StressRig& rig_;
    std::mt19937 random_;
    long delivered_ = 0;
};

// The main window's thread: the operations it calls on the profile store, the device link and
// the settings actions, in a random order.
class UserInterface {
  public:
    UserInterface(StressRig& rig, unsigned seed) : rig_(rig), random_(seed) {}

    void run(std::stop_token stop) {
        thread_ = std::this_thread::get_id();
        while (!stop.stop_requested())
            step();
    }
    std::thread::id thread() const { return thread_; }

    long applies = 0;
    long tabSwitches = 0;
    long edits = 0;

  private:
    void step() {
        ProfileStore& profiles = rig_.profiles;
        const int level = static_cast<int>(random_() % kDpiLevelCount);
        switch (random_() % 10) {
            case 0:
            case 1: {
                const int u = static_cast<int>(random_() % test::kTiedValues);
                profiles.edit([&](ConfigProfile& p) { test::tieProfile(p, u); });
                ++edits;
                break;
            }
            case 2:
                profiles.edit([&](ConfigProfile& p) {
                    random_() % 2 ? toggleDpiLevel(p, level) : selectDpiLevel(p, level);
                });
                ++edits;
                break;
            case 3:
                rig_.settings.apply();
                ++applies;
                break;
            case 4:
                // A power event applies again.
                rig_.link.ApplySettings();
                ++applies;
                break;
            case 5: {
                const auto slot = static_cast<int32_t>(1 + random_() % kProfileCount);
                profiles.switchProfile(slot);
                rig_.view.invalidate();
                ++tabSwitches;
                break;
            }
            case 6:
                rig_.macros.edit([&](MacroTable& table) {
                    table.macroSlots[0].steps[0].delay = static_cast<uint16_t>(1 + level % 2);
                });
                break;
            case 7:
                switchPage(rig_.currentPage.load() == PAGE_MAIN ? PAGE_COLOUR : PAGE_MAIN);
                break;
            default:
                paint();
                break;
        }
    }

    // What a frame reads.
    void paint() {
        FrameState frame;
        frame.profile = rig_.profiles.profile();
        frame.currentConfig = rig_.profiles.currentConfig();
        frame.banner = BannerView::of(rig_.banner);
        rig_.colourPage.fill(frame);
        std::this_thread::sleep_for(200us);
    }

    void switchPage(Page to) {
        rig_.currentPage.store(to);
        if (to == PAGE_COLOUR) {
            rig_.colourPage.enter();
            rig_.mainPage.leave();
        } else {
            rig_.mainPage.enter();
            rig_.colourPage.leave();
        }
    }

    StressRig& rig_;
    std::mt19937 random_;
    std::thread::id thread_;
};

// Slot k keeps k as its pointer speed; another value there is another profile's settings.
int misplacedProfiles(const StressRig& rig) {
    int misplaced = 0;
    for (int slot = 1; slot <= kProfileCount; ++slot) {
        const std::u16string number = utf8ToUtf16(std::to_string(slot));
        if (rig.files.read(rig.paths.configFilePath, u"Config" + number, u"DPI_SPEED", 5) != number)
            ++misplaced;
    }
    return misplaced;
}

TEST(ThreadedCoreStress, EveryPressAndEveryReportIsAccountedFor) {
    const auto duration = stressDuration();
    const unsigned seed = std::random_device{}();
    StressRig rig;
    ASSERT_TRUE(rig.start()) << "the simulated mouse was not found";

    MouseFlood flood(rig, seed);
    UserInterface ui(rig, seed + 1);
    {
        std::jthread mouse([&](std::stop_token stop) { flood.run(stop); });
        std::jthread window([&](std::stop_token stop) { ui.run(stop); });
        std::this_thread::sleep_for(duration);
    }
    // Let the last press end: a macro held in mode 1 ends at a release, one in mode 0 at a press.
    const auto giveUp = std::chrono::steady_clock::now() + 30s;
    int quietChecks = 0;
    while (quietChecks < 3 && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(20ms);
        const bool allRead = rig.observer.reportsRead() == flood.delivered();
        quietChecks = allRead && rig.flags.pressPending.load() == 0 ? quietChecks + 1 : 0;
        if (allRead && rig.flags.pressPending.load() != 0)
            flood.click(buttonHardwareId[4]);
    }
    rig.executor.stop();
    rig.reader.stop();

    const test::HandOverFigures hand = rig.observer.figures();
    const std::thread::id executorThread = rig.executorDevice.executorThread();
    const std::vector<test::SentReport> sent = rig.hid.sent();
    const test::StreamFigures stream =
        test::checkReportStream(sent, test::receivedReports(rig.mouse("dump")), executorThread);
    const std::thread::id starter = std::this_thread::get_id();
    const auto appliesOf = [&](std::thread::id sender) {
        const auto found = stream.appliesBySender.find(sender);
        return found != stream.appliesBySender.end() ? found->second : 0;
    };

    const long pressesSent = hand.total(flood.pressesSent);
    const long handedOver = hand.total(hand.handedOver);
    const long nextProfiles = rig.executorDevice.nextProfiles.load();
    const int misplaced = misplacedProfiles(rig);
    std::cout << "stress: " << duration.count() << " s, seed " << seed << "\n"
              << "stress: presses sent " << pressesSent << ", read " << hand.total(hand.pressesRead)
              << ", performed " << hand.performed << " (handed over " << handedOver
              << "), dropped by rule " << hand.droppedWhileBusy + hand.droppedBeforeStart
              << " (executor busy " << hand.droppedWhileBusy << ", before the start signal "
              << hand.droppedBeforeStart << "), unexplained " << hand.unexplained << "\n"
              << "stress: releases sent " << flood.releasesSent << ", read " << hand.releasesRead
              << "\n"
              << "stress: performed: macros " << rig.executorClock.macrosPlayed.load()
              << ", chords " << rig.executorInput.chords.load() << ", LED switches "
              << rig.executorDevice.ledToggles.load() << ", DPI steps "
              << rig.executorDevice.dpiChanges.load() << ", next profile " << nextProfiles << "\n"
              << "stress: profile switches " << ui.tabSwitches + nextProfiles << " (user interface "
              << ui.tabSwitches << ", next-profile function " << nextProfiles << "), profile edits "
              << ui.edits << "\n"
              << "stress: applies asked for " << 1 + ui.applies + nextProfiles
              << ", received whole " << stream.applies << " (at the start " << appliesOf(starter)
              << ", run on the user interface " << appliesOf(ui.thread()) << ", on the executor "
              << appliesOf(executorThread) << "), DPI and LED reports " << stream.dpiLedSwitches
              << "\n"
              << "stress: feature reports sent " << sent.size() << ", received " << stream.received
              << ", faults " << stream.faults.size() << "\n"
              << "stress: profiles saved into another profile's slot " << misplaced << " of "
              << kProfileCount << std::endl;

    // Only the three threads that have reason to send did.
    for (const test::SentReport& report : sent) {
        ASSERT_TRUE(report.sender == starter || report.sender == ui.thread() ||
                    report.sender == executorThread);
    }
    EXPECT_FALSE(hand.observerStuck);
    EXPECT_EQ(hand.windowFaults, 0);
    for (const std::string& fault : stream.faults)
        ADD_FAILURE() << fault;

    // Every press sent was read, and each went one way: to the executor, or dropped by rule.
    EXPECT_EQ(hand.releasesRead, flood.releasesSent);
    for (size_t button = 1; button <= kButtonCount; ++button)
        EXPECT_EQ(hand.pressesRead[button], flood.pressesSent[button]) << "button " << button;
    EXPECT_EQ(hand.unexplained, 0) << "presses neither handed over nor dropped by rule";
    EXPECT_EQ(pressesSent, handedOver + hand.droppedWhileBusy + hand.droppedBeforeStart);

    // Each press handed over was performed once, by the function of its slot.
    EXPECT_EQ(hand.performed, handedOver);
    for (size_t slot = 0; slot < kButtonCount; ++slot) {
        EXPECT_EQ(hand.performedPerSlot[slot], hand.handedOver[buttonHardwareId[slot]])
            << "slot " << slot + 1;
    }
    EXPECT_EQ(hand.executorFinishes, hand.performed);
    EXPECT_EQ(rig.executorClock.macrosPlayed.load(),
              hand.performedPerSlot[0] + hand.performedPerSlot[1]);
    EXPECT_EQ(rig.executorInput.chords.load(), hand.performedPerSlot[2]);
    EXPECT_EQ(rig.executorDevice.ledToggles.load(), hand.performedPerSlot[3]);
    EXPECT_EQ(rig.executorDevice.dpiChanges.load(), hand.performedPerSlot[4]);
    EXPECT_EQ(nextProfiles, hand.performedPerSlot[5]);
    EXPECT_EQ(stream.dpiLedSwitches,
              rig.executorDevice.ledToggles.load() + rig.executorDevice.dpiChanges.load());
    EXPECT_FALSE(rig.executorInput.anythingHeld()) << "a macro left a key or button down";
    EXPECT_EQ(misplaced, 0) << "a profile was saved into another profile's slot";
}

}  // namespace
}  // namespace v270
