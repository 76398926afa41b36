#include "app/program.h"

#include <memory>

#include "ui/banner_blinker.h"
#include "ui/led_preview.h"
#include "v270_version.h"

namespace v270 {

Program::Program(const ProgramPaths& programPaths, const ProgramPlatform& platformServices)
    : paths(programPaths),
      platform(platformServices),
      mainPage(profiles, tables, platform.view,
               std::make_unique<BannerBlinker>(banner, currentPage, platform.view, platform.clock)),
      device(DeviceLinkServices{platform.hid, profiles, banner, mainPage, platform.view,
                                platform.systemSettings}),
      advancedPage(AdvancedPageServices{profiles, macros, tables, paths, platform.view,
                                        platform.dialogs, platform.messages}),
      colourPage(profiles, device,
                 std::make_unique<LedPreview>(currentPage, profiles, device, platform.view,
                                              platform.clock)),
      reader(InputReaderServices{device.interfaces(), flags, banner, profiles, platform.view,
                                 platform.clock}),
      notice(ProfileNoticeServices{profiles, device, files, platform.notice}),
      executor(ExecutorServices{flags, profiles, macros, device, platform.view, platform.input,
                                platform.systemActions, platform.clock, &notice}),
      lifecycle(LifecycleServices{paths, profiles, macros, skin, device, flags, reader, executor,
                                  mainPage, advancedPage, platform.input, platform.systemSettings,
                                  platform.messages, platform.clock, platform.view, notice, files}),
      settings(SettingsActionServices{paths, profiles, macros, skin, device, lifecycle,
                                      advancedPage, platform.dialogs, platform.view,
                                      platform.messages}),
      transfer(ProfileTransferServices{profiles, macros, device, advancedPage, platform.view}),
      scripts(ScriptRequestServices{transfer, profiles, device, banner, V270_VERSION_TEXT}),
      profileFiles(ProfileFileActionServices{paths, profiles, macros, tables, transfer,
                                             platform.dialogs, platform.messages,
                                             platform.fileSystem}),
      pointer(PointerServices{profiles, tables, currentPage, platform.view, settings, mainPage,
                              advancedPage, colourPage, lifecycle}),
      keyboard(KeyboardServices{tables, currentPage, platform.view, pointer, advancedPage}),
      appProfiles(AppProfileSwitcherServices{
          files, paths.configFilePath, profiles, device, platform.view, platform.foreground,
          platform.settleTimer, [this] { return device.deviceFound() != 0 && !lifecycle.closed(); },
          [this](bool paused) { executor.setHostFunctionsPaused(paused); }}) {
    files.setProblemListener(&fileProblems);
    // Switches that the command line and the rules make are shown as a button's are.
    lifecycle.setProfileAnnouncer([this](int32_t) { notice.announceProfile(); });
    appProfiles.setAnnouncer([this](int32_t) { notice.announceProfile(); });
    appProfiles.setPauseAnnouncer([this] { notice.announceHostFunctionsPaused(); });
}

FrameState Program::frame() const {
    FrameState frame;
    frame.scale = skin.scale();
    frame.currentPage = currentPage.load();
    frame.profile = profiles.profile();
    frame.currentConfig = profiles.currentConfig();
    frame.english = profiles.englishUi() != 0;
    frame.banner = BannerView::of(banner);
    frame.banner.mouseAway = lifecycle.waitingForMouse();
    // The main page's button labels name the macros as well as the advanced page's list.
    const MacroTable table = macros.table();
    for (int i = 0; i < table.macroCount; ++i)
        frame.macroNames.emplace_back(table.macroSlots[static_cast<size_t>(i)].nameText());
    pointer.fill(frame);
    keyboard.fill(frame);
    switch (frame.currentPage) {
        case PAGE_MAIN:
            mainPage.fill(frame);
            break;
        case PAGE_ADVANCED:
            advancedPage.fill(frame);
            break;
        case PAGE_COLOUR:
            colourPage.fill(frame);
            break;
    }
    return frame;
}

}  // namespace v270
