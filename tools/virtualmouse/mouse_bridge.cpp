#include "mouse_bridge.h"

#include <charconv>
#include <chrono>
#include <thread>
#include <vector>

#include "device/mouse_identity.h"
#include "device_install.h"
#include "json_writer.h"
#include "platform/win32/hid_win32.h"

namespace v270::virtualmouse {

namespace {

using namespace std::chrono_literals;

// How long the system may take to list a device's HID interface after its install, and the
// driver's control device to appear once a device has loaded it.
constexpr auto kSettleTimeout = 15s;
constexpr auto kSettlePoll = 10ms;

bool isCollection(const platform::HidInterface& entry, uint16_t usagePage) {
    return entry.vendorId == mouse::kVendorId && entry.productId == mouse::kProductId &&
           entry.usagePage == usagePage && entry.usage == mouse::kVendorUsage;
}

const platform::HidInterface* findCollection(const std::vector<platform::HidInterface>& listed,
                                             uint16_t usagePage) {
    for (const platform::HidInterface& entry : listed) {
        if (isCollection(entry, usagePage))
            return &entry;
    }
    return nullptr;
}

template <typename Condition>
bool settle(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kSettleTimeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kSettlePoll);
    }
    return true;
}

// The system lists both HID interfaces of virtual mouse `number` (or, with `present` false,
// neither): their device is the one of that instance number, "...\\0001" for mouse 1.
bool systemListsMouse(bool present, size_t number) {
    const std::atomic<HWND> noWindow{nullptr};
    win32::Win32HidSystem system(noWindow);
    const std::u16string instance =
        u"\\000" + std::u16string(1, static_cast<char16_t>(u'0' + number));
    int found = 0;
    for (const platform::HidInterface& entry : system.enumerate()) {
        if (entry.vendorId == mouse::kVendorId && entry.productId == mouse::kProductId &&
            entry.device.ends_with(instance))
            ++found;
    }
    return present ? found >= 2 : found == 0;
}

std::optional<unsigned> numberOf(std::string_view text, unsigned last) {
    unsigned number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc{} || end != text.data() + text.size() || number > last)
        return std::nullopt;
    return number;
}

std::optional<uint16_t> portOf(std::string_view text) {
    const auto port = numberOf(text, 0xFFFF);
    if (!port || *port == 0)
        return std::nullopt;
    return static_cast<uint16_t>(*port);
}

}  // namespace

// Hands the notices of one attachment to the bridge, marked with its generation, so that the
// notices of a simulator the bridge has left are told apart.
class MouseBridge::NoticeTap final : public platform::DeviceNoticeSink {
  public:
    NoticeTap(MouseBridge& bridge, uint64_t generation)
        : bridge_(bridge), generation_(generation) {}
    void deliver(const platform::DeviceNotice& notice) override {
        bridge_.postEvent(Notice{generation_, notice});
    }

  private:
    MouseBridge& bridge_;
    const uint64_t generation_;
};

// One simulator the bridge follows, and while the mouse is plugged in, its two interfaces.
struct MouseBridge::Attachment {
    Attachment(MouseBridge& bridge, uint16_t hidPort, uint64_t number)
        : port(hidPort),
          generation(number),
          tap(bridge, number),
          hid(SimulatorEndpoint{"127.0.0.1", hidPort}, tap) {}

    // Stops the input reports; the feature target is the bridge's to clear.
    void leaveInterfaces() {
        inputPump.reset();
        input.reset();
        feature.reset();
    }

    const uint16_t port;
    const uint64_t generation;
    NoticeTap tap;
    SimulatedHidSystem hid;
    std::unique_ptr<platform::HidDevice> input;
    std::shared_ptr<platform::HidDevice> feature;
    // Last, so that it stops before the interface it reads goes.
    std::unique_ptr<platform::WorkerThread> inputPump;
};

MouseBridge::MouseBridge(std::wstring infPath) : infPath_(std::move(infPath)) {
    // Devices left in the prefix by an earlier session load with this one: once the driver is
    // there the first mouse's are taken as they are, with the lengths the driver gives them. A
    // second mouse is there only while a test asks for it.
    if (registeredDevices() > 0 && settle([&] { return openControl().empty(); })) {
        if (const auto counters = control_->counters(); counters && counters->devicesPresent != 0)
            mice_[0].installed = counters->lengths;
        for (size_t mouse = 1; mouse < V270_VMOUSE_MICE; ++mouse)
            remove(mouse);
    }
}

MouseBridge::~MouseBridge() {
    for (Mouse& mouse : mice_)
        mouse.attachment.reset();
    featureForwarder_.stop();
}

void MouseBridge::post(std::string line) {
    postEvent(std::move(line));
}

void MouseBridge::endOfCommands() {
    postEvent(EndOfCommands{});
}

void MouseBridge::postEvent(Event event) {
    {
        const std::lock_guard lock(eventMutex_);
        events_.push_back(std::move(event));
    }
    eventArrived_.notify_one();
}

void MouseBridge::run(const std::function<void(const std::string&)>& reply) {
    for (;;) {
        Event event;
        {
            std::unique_lock lock(eventMutex_);
            eventArrived_.wait(lock, [&] { return !events_.empty(); });
            event = std::move(events_.front());
            events_.pop_front();
        }
        if (std::holds_alternative<EndOfCommands>(event))
            return;
        if (const Notice* notice = std::get_if<Notice>(&event)) {
            onNotice(*notice);
            continue;
        }
        const std::string& line = std::get<std::string>(event);
        reply(command(line));
        if (line == "quit")
            return;
    }
}

std::string MouseBridge::command(std::string_view line) {
    const size_t space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    const std::string_view argument =
        space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
    if (word == "attach") {
        // PORT, then the mouse's number, 0 unless given.
        const size_t gap = argument.find(' ');
        const auto port = portOf(argument.substr(0, gap));
        const auto mouse = gap == std::string_view::npos
                               ? std::optional<unsigned>(0)
                               : numberOf(argument.substr(gap + 1), V270_VMOUSE_MICE - 1);
        if (!port || !mouse)
            return "error: usage: attach PORT [MOUSE]";
        return attach(*port, *mouse);
    }
    if (word == "release") {
        const auto port = portOf(argument);
        if (!port)
            return "error: usage: release PORT";
        for (size_t mouse = 0; mouse < V270_VMOUSE_MICE; ++mouse) {
            if (mice_[mouse].attachment && mice_[mouse].attachment->port == *port)
                release(mouse);
        }
        return "ok";
    }
    if (word == "detach") {
        if (argument.empty())
            return detach(std::nullopt);
        const auto mouse = numberOf(argument, V270_VMOUSE_MICE - 1);
        if (!mouse)
            return "error: usage: detach [MOUSE]";
        return detach(*mouse);
    }
    if (!argument.empty())
        return "error: " + std::string(word) + " takes no argument";
    if (word == "counters")
        return counters();
    if (word == "log")
        return log_.take();
    if (word == "quit") {
        for (size_t mouse = 0; mouse < V270_VMOUSE_MICE; ++mouse)
            release(mouse);
        return "ok";
    }
    return "error: unknown command; attach PORT [MOUSE], release PORT, detach [MOUSE], counters, "
           "log, quit";
}

std::string MouseBridge::attach(uint16_t port, size_t mouse) {
    std::unique_ptr<Attachment>& attachment = mice_[mouse].attachment;
    if (attachment && attachment->port == port)
        return "ok";
    release(mouse);
    attachment = std::make_unique<Attachment>(*this, port, ++generation_);
    attachment->hid.registerForNotices();
    if (std::string error = follow(mouse); !error.empty()) {
        release(mouse);
        return "error: " + error;
    }
    return "ok";
}

void MouseBridge::release(size_t mouse) {
    {
        const std::lock_guard lock(targetMutex_);
        featureTargets_[mouse].reset();
    }
    mice_[mouse].attachment.reset();
}

std::string MouseBridge::detach(std::optional<size_t> which) {
    for (size_t mouse = 0; mouse < V270_VMOUSE_MICE; ++mouse) {
        if (which && mouse != *which)
            continue;
        release(mouse);
        if (std::string error = remove(mouse); !error.empty())
            return "error: " + error;
    }
    return "ok";
}

void MouseBridge::onNotice(const Notice& notice) {
    for (size_t mouse = 0; mouse < V270_VMOUSE_MICE; ++mouse) {
        Attachment* attachment = mice_[mouse].attachment.get();
        if (!attachment || notice.generation != attachment->generation)
            continue;
        // A simulator notice names one of three interfaces; the first of each kind does the
        // work.
        if (notice.notice.kind == platform::DeviceNotice::Kind::Removal) {
            if (!mice_[mouse].installed)
                return;
            {
                const std::lock_guard lock(targetMutex_);
                featureTargets_[mouse].reset();
            }
            attachment->leaveInterfaces();
            remove(mouse);
        } else if (!mice_[mouse].installed || !attachment->input) {
            follow(mouse);
        }
        return;
    }
}

std::string MouseBridge::follow(size_t number) {
    Attachment& attachment = *mice_[number].attachment;
    const std::optional<V270Lengths>& installed = mice_[number].installed;
    const std::vector<platform::HidInterface> listed = attachment.hid.enumerate();
    const platform::HidInterface* input = findCollection(listed, mouse::kInputUsagePage);
    const platform::HidInterface* feature = findCollection(listed, mouse::kFeatureUsagePage);
    if (listed.empty() || input == nullptr || feature == nullptr) {
        // Unplugged, or gone: no mouse.
        attachment.leaveInterfaces();
        return remove(number);
    }
    attachment.input = attachment.hid.open(input->path, platform::HidAccess::Read);
    attachment.feature = attachment.hid.open(feature->path, platform::HidAccess::Write);
    if (!attachment.input || !attachment.feature)
        return "the simulator did not open its interfaces";
    {
        // Before the devices appear: a program waiting for the mouse sends its profile the
        // moment they do.
        const std::lock_guard lock(targetMutex_);
        featureTargets_[number] = attachment.feature;
    }
    if (!installed || installed->input != input->inputReportLength ||
        installed->feature != feature->featureReportLength) {
        if (std::string error =
                install(number, input->inputReportLength, feature->featureReportLength);
            !error.empty()) {
            return error;
        }
    }
    const size_t length = input->inputReportLength;
    platform::HidDevice& source = *attachment.input;
    attachment.inputPump = std::make_unique<platform::WorkerThread>(
        "v270 bridge input", platform::ThreadPriority::Highest,
        [this, &source, length, number](std::stop_token stop) {
            std::vector<uint8_t> report(length);
            while (source.readInputReport(report, stop)) {
                log_.input(report);
                control_->pushInput(report, static_cast<uint32_t>(number));
            }
        });
    attachment.inputPump->ensureRunning();
    return {};
}

std::string MouseBridge::install(size_t mouse, uint16_t inputLength, uint16_t featureLength) {
    if (std::string error = remove(mouse); !error.empty())
        return error;
    // The lengths must be the driver's before its devices start: a loaded driver takes them
    // now, a driver that loads with the devices starts with the real mouse's.
    if (control_)
        control_->setLengths(inputLength, featureLength);
    if (std::string error = installDevices(infPath_, static_cast<int>(mouse)); !error.empty())
        return error;
    if (!control_) {
        if (!settle([&] { return openControl().empty(); }))
            return "the driver's control device did not appear";
        if (inputLength != V270_VMOUSE_DEFAULT_INPUT_LENGTH ||
            featureLength != V270_VMOUSE_DEFAULT_FEATURE_LENGTH) {
            // Started before it could be told: once more, with the lengths.
            mice_[mouse].installed =
                V270Lengths{V270_VMOUSE_DEFAULT_INPUT_LENGTH, V270_VMOUSE_DEFAULT_FEATURE_LENGTH};
            return install(mouse, inputLength, featureLength);
        }
    }
    mice_[mouse].installed = V270Lengths{inputLength, featureLength};
    if (!settle([mouse] { return systemListsMouse(true, mouse); }))
        return "the system did not list the virtual mouse";
    return {};
}

std::string MouseBridge::remove(size_t mouse) {
    if (registeredDevices(static_cast<int>(mouse)) == 0) {
        mice_[mouse].installed.reset();
        return {};
    }
    if (std::string error = removeDevices(static_cast<int>(mouse)); !error.empty())
        return error;
    mice_[mouse].installed.reset();
    if (!settle([mouse] { return systemListsMouse(false, mouse); }))
        return "the system still lists the virtual mouse";
    return {};
}

std::string MouseBridge::openControl() {
    if (control_)
        return {};
    control_ = ControlDevice::open();
    if (!control_)
        return "no control device";
    featureForwarder_.ensureRunning();
    return {};
}

// Each report the program sends waits for the simulator's answer; without a simulator it is
// taken, as a mouse nobody watches would.
void MouseBridge::forwardFeatures(std::stop_token stop) {
    while (auto report = control_->takeFeature(stop)) {
        const int64_t taken = microsecondsNow();
        std::shared_ptr<platform::HidDevice> target;
        if (report->mouse < V270_VMOUSE_MICE) {
            const std::lock_guard lock(targetMutex_);
            target = featureTargets_[report->mouse];
        }
        bool accepted = true;
        if (target) {
            accepted = target->sendFeatureReport(report->bytes).ok;
        } else {
            ++unforwarded_;
        }
        log_.feature(report->bytes, accepted, taken);
        control_->answerFeature(report->id, accepted);
    }
}

std::string MouseBridge::counters() const {
    mousesim::JsonWriter json;
    json.beginObject();
    const Mouse& first = mice_[0];
    json.key("attachedPort").value(first.attachment ? int64_t{first.attachment->port} : 0);
    json.key("installed").value(first.installed.has_value());
    json.key("unforwarded").value(static_cast<int64_t>(unforwarded_.load()));
    if (const auto driver = control_ ? control_->counters() : std::nullopt) {
        json.key("inputPushed").value(static_cast<int64_t>(driver->inputPushed));
        json.key("inputDelivered").value(static_cast<int64_t>(driver->inputDelivered));
        json.key("inputDropped").value(static_cast<int64_t>(driver->inputDropped));
        json.key("featureReceived").value(static_cast<int64_t>(driver->featureReceived));
        json.key("featureAccepted").value(static_cast<int64_t>(driver->featureAccepted));
        json.key("featureRefused").value(static_cast<int64_t>(driver->featureRefused));
        json.key("featureUnobserved").value(static_cast<int64_t>(driver->featureUnobserved));
        json.key("readsPending").value(int64_t{driver->readsPending});
        json.key("devicesPresent").value(int64_t{driver->devicesPresent});
        json.key("inputLength").value(int64_t{driver->lengths.input});
        json.key("featureLength").value(int64_t{driver->lengths.feature});
    }
    return json.endObject().take();
}

}  // namespace v270::virtualmouse
