#include "app/app_profile_switcher.h"

#include "actions/profile_switch.h"

namespace v270 {

void AppProfileSwitcher::start() {
    readRules();
    running_ = true;
    watchAsSettingsSay();
}

void AppProfileSwitcher::readAgainWhenUnread() {
    if (!unread_)
        return;
    readRules();
    watchAsSettingsSay();
}

void AppProfileSwitcher::readRules() {
    LoadedFile config = s_.files.loadFile(s_.configFile);
    unread_ = std::move(config.problem);
    if (unread_)
        s_.files.report(*unread_);
    else
        settings_ = appProfilesOf(config.document);
}

void AppProfileSwitcher::stop() {
    running_ = false;
    watchAsSettingsSay();
}

bool AppProfileSwitcher::setSettings(const AppProfileSettings& settings) {
    settings_ = storable(settings);
    // Rules edited from none, because config.ini could not be read, would replace its own.
    if (unread_)
        s_.files.report(*unread_);
    const bool saved = !unread_ && saveAppProfiles(s_.files, s_.configFile, settings_);
    // A switch decided under the old rules is not made; watching anew, the window in front is
    // judged by the new ones.
    s_.settleTimer.cancel();
    s_.watcher.stop();
    watchAsSettingsSay();
    return saved;
}

void AppProfileSwitcher::watchAsSettingsSay() {
    if (running_ && settings_.enabled) {
        if (!s_.watcher.watching())
            s_.watcher.start(
                [this](const platform::ForegroundChange& change) { onForegroundChanged(change); });
        return;
    }
    s_.settleTimer.cancel();
    s_.watcher.stop();
    setPaused(false);
}

void AppProfileSwitcher::setPaused(bool paused) {
    if (paused == paused_)
        return;
    paused_ = paused;
    if (s_.pauseHostFunctions)
        s_.pauseHostFunctions(paused);
    if (paused && pauseAnnouncer_)
        pauseAnnouncer_();
}

void AppProfileSwitcher::onForegroundChanged(const platform::ForegroundChange& change) {
    std::optional<int32_t> profile;
    if (!change.ownWindow)
        profile = profileForApplication(settings_, change.executablePath);
    setPaused(profile == AppProfileRule::kPauseHostFunctions);
    // The user may be editing a profile: nothing changes under their hands, and a switch for a
    // window they only passed through is dropped. An application whose host functions pause
    // keeps the current profile.
    if (change.ownWindow || paused_) {
        s_.settleTimer.cancel();
        return;
    }
    if (!profile && settings_.fallbackProfile != AppProfileSettings::kStay)
        profile = settings_.fallbackProfile;
    if (!profile) {
        // The last window to come to the front keeps the current profile.
        s_.settleTimer.cancel();
        return;
    }
    s_.settleTimer.start(kSettleTime, [this, target = *profile] { onSettled(target); });
}

void AppProfileSwitcher::onSettled(int32_t profile) {
    if (!running_ || !s_.maySwitch() || profile == s_.profiles.currentConfig())
        return;
    switchToProfile(s_.profiles, s_.device, s_.view, profile, SwitchOrigin::Automatic);
    if (announcer_)
        announcer_(profile);
}

}  // namespace v270
