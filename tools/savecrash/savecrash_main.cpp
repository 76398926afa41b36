// v270-savecrash: saves config.ini and a macro file over and over through the program's own
// settings code, so that scripts/crash-safety.sh can kill it at any moment and check that each
// file still holds one whole content. There are two known contents of each file, A and B; every
// save writes the one the file does not hold.
//
//   v270-savecrash reference SEED REF    REF/a and REF/b: the two files of SEED (config.ini,
//                                        Macro_EN.dat) saved with content A, and with B
//   v270-savecrash loop FOLDER           saves in FOLDER until killed, config.ini and the macro
//                                        file in turn
//   v270-savecrash check FOLDER REF      what FOLDER holds now
//
// `loop` writes, flushed line by line:
//   ready PID                            PID as the system gives it (Windows: the Windows one)
//   begin config B | begin macro A       a save of that content starts
//   end                                  it has returned
// `check` writes one line: "config=a|b|corrupt macro=a|b|corrupt extra=N" and, per file in
// FOLDER that is neither of the two, a line "extra NAME". A file is a or b when its bytes are
// those of REF/a or REF/b and it loads as that content; anything else is corrupt.
// Exit code 0, 1 when a save fails or check finds a corrupt file, 2 for wrong arguments.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <process.h>
#define V270_GETPID _getpid
#else
#include <unistd.h>
#define V270_GETPID getpid
#endif

#include "platform/message_boxes.h"
#include "settings/ini_files.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"

namespace {

namespace fs = std::filesystem;
using namespace v270;

constexpr std::string_view kConfigName = "config.ini";
constexpr std::string_view kMacroName = "Macro_EN.dat";
constexpr int32_t kSlot = 2;
constexpr int32_t kEnglish = 1;

class SilentMessages : public platform::MessageBoxes {
  public:
    void show(std::u16string_view) override {}
};

ConfigProfile profileOf(bool b) {
    ConfigProfile profile;
    profile.buttonFunction = b ? std::array<int32_t, kButtonCount>{6, 5, 4, 3, 2, 1}
                               : std::array<int32_t, kButtonCount>{1, 2, 3, 5, 4, 6};
    profile.wheelStatus = b ? 1 : 0;
    profile.macroMode2 = b ? 1 : 0;
    profile.dpiLevel = b ? 3 : 1;
    profile.dpiSet = b ? std::array<uint8_t, kDpiLevelCount>{4, 3, 2, 1}
                       : std::array<uint8_t, kDpiLevelCount>{0, 1, 2, 3};
    profile.dpiSetEnabled = {1, 1, static_cast<uint8_t>(b ? 0 : 1), 1};
    profile.ledStatus = b ? 3 : 1;
    profile.dpiSpeed = b ? 9 : 5;
    profile.wheelSpeed = b ? 2 : 7;
    profile.fireTime = b ? 300 : 40;
    return profile;
}

// Twelve full macros, so that the file is as large as a macro file gets.
MacroTable macrosOf(bool b) {
    MacroTable table;
    table.macroCount = kMaxMacros;
    for (int i = 0; i < kMaxMacros; ++i) {
        MacroRecord& record = table.macroSlots[static_cast<size_t>(i)];
        record.setName(std::u16string(b ? u"Beta " : u"Alpha ") + static_cast<char16_t>(u'a' + i));
        record.repeatEnabled = b ? 1 : 0;
        record.repeatCount = static_cast<uint16_t>(b ? 500 + i : 3);
        record.stepCount = kMaxMacroSteps;
        for (int s = 0; s < kMaxMacroSteps; ++s) {
            record.steps[static_cast<size_t>(s)] = {
                static_cast<uint8_t>(b ? 65 + s % 26 : 240 + s % 3),
                static_cast<uint8_t>(s % 2 == 0 ? kStepPress : kStepRelease),
                static_cast<uint16_t>(b ? 1000 + s : 10 * s)};
        }
    }
    table.currentMacro = kMaxMacros - 1;
    return table;
}

// The settings of one folder, reached as the program reaches them.
class Settings {
  public:
    explicit Settings(const fs::path& folder)
        : configFile_(folder / kConfigName),
          macroFile_(folder / kMacroName),
          profiles_(files_, configFile_),
          macros_(files_, messages_) {
        profiles_.setEnglishUi(kEnglish);
        profiles_.setCurrentConfig(kSlot);
        macros_.setFilePath(macroFile_);
    }

    bool saveConfig(bool b) {
        profiles_.edit([&](ConfigProfile& profile) { profile = profileOf(b); });
        // The apply's replace ("CurConfig", the last-applied slot, the current slot) writes the
        // file; the profile save after it finds nothing to change unless that replace failed.
        profiles_.saveForApply();
        return profiles_.saveProfile(configFile_, kSlot);
    }
    bool saveMacros(bool b) {
        macros_.edit([&](MacroTable& table) { table = macrosOf(b); });
        return macros_.saveMacros(macroFile_);
    }

    // Which content each file loads as: 'a', 'b' or '?'.
    char loadedConfig() {
        profiles_.readStartupSettings();
        const bool startsAtSlot = profiles_.currentConfig() == kSlot;
        const ConfigProfile loaded = profiles_.profile();
        profiles_.setEnglishUi(kEnglish);
        profiles_.setCurrentConfig(kSlot);
        profiles_.loadProfile(configFile_, kLastAppliedSlot, false);
        if (!startsAtSlot || profiles_.profile() != loaded)
            return '?';
        return loaded == profileOf(false) ? 'a' : loaded == profileOf(true) ? 'b' : '?';
    }
    char loadedMacros() {
        macros_.loadMacros(macroFile_);
        const MacroTable loaded = macros_.table();
        return loaded == macrosOf(false) ? 'a' : loaded == macrosOf(true) ? 'b' : '?';
    }

  private:
    fs::path configFile_;
    fs::path macroFile_;
    IniFiles files_;
    SilentMessages messages_;
    ProfileStore profiles_;
    MacroStore macros_;
};

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

int makeReference(const fs::path& seed, const fs::path& reference) {
    for (const bool b : {false, true}) {
        const fs::path folder = reference / (b ? "b" : "a");
        fs::create_directories(folder);
        for (const std::string_view name : {kConfigName, kMacroName}) {
            fs::copy_file(seed / name, folder / name, fs::copy_options::overwrite_existing);
        }
        Settings settings(folder);
        // B is written over A, as the loop does.
        if (!settings.saveConfig(false) || !settings.saveMacros(false))
            return 1;
        if (b && (!settings.saveConfig(true) || !settings.saveMacros(true)))
            return 1;
    }
    return 0;
}

int loop(const fs::path& folder) {
    Settings settings(folder);
    bool configB = settings.loadedConfig() != 'b';
    bool macroB = settings.loadedMacros() != 'b';
    say("ready " + std::to_string(V270_GETPID()));
    for (;;) {
        say(std::string("begin config ") + (configB ? "B" : "A"));
        if (!settings.saveConfig(configB))
            return 1;
        say("end");
        configB = !configB;
        say(std::string("begin macro ") + (macroB ? "B" : "A"));
        if (!settings.saveMacros(macroB))
            return 1;
        say("end");
        macroB = !macroB;
    }
}

char classify(const fs::path& file, const fs::path& reference, char loaded) {
    const std::string bytes = bytesOf(file);
    const fs::path name = file.filename();
    if (bytes == bytesOf(reference / "a" / name) && loaded == 'a')
        return 'a';
    if (bytes == bytesOf(reference / "b" / name) && loaded == 'b')
        return 'b';
    return '?';
}

int check(const fs::path& folder, const fs::path& reference) {
    std::string extras;
    int extraCount = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name != kConfigName && name != kMacroName) {
            extras += "extra " + name + "\n";
            ++extraCount;
        }
    }
    Settings settings(folder);
    const char config = classify(folder / kConfigName, reference, settings.loadedConfig());
    const char macro = classify(folder / kMacroName, reference, settings.loadedMacros());
    const auto word = [](char c) { return c == '?' ? std::string("corrupt") : std::string(1, c); };
    say("config=" + word(config) + " macro=" + word(macro) +
        " extra=" + std::to_string(extraCount));
    std::fputs(extras.c_str(), stdout);
    return config == '?' || macro == '?' ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "reference" && argc == 4)
            return makeReference(argv[2], argv[3]);
        if (mode == "loop" && argc == 3)
            return loop(argv[2]);
        if (mode == "check" && argc == 4)
            return check(argv[2], argv[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "v270-savecrash: %s\n", error.what());
        return 1;
    }
    std::fputs("usage: v270-savecrash reference SEED REF | loop FOLDER | check FOLDER REF\n",
               stderr);
    return 2;
}
