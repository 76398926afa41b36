#include "app/script_request_handler.h"

#include "settings/text.h"
#include "ui/dpi_values.h"

namespace v270 {

namespace {

ScriptOutcome outcomeOf(ProfileFileFault fault) {
    switch (fault) {
        case ProfileFileFault::NotAProfileFile:
            return ScriptOutcome::NotAProfileFile;
        case ProfileFileFault::NewerFormat:
            return ScriptOutcome::NewerFormat;
        case ProfileFileFault::OtherModel:
            return ScriptOutcome::OtherModel;
        case ProfileFileFault::Damaged:
            return ScriptOutcome::Damaged;
        case ProfileFileFault::NoFreeMacroSlot:
            return ScriptOutcome::NoFreeMacroSlot;
    }
    return ScriptOutcome::Damaged;
}

std::vector<uint8_t> utf8Of(std::u16string_view text) {
    const std::string utf8 = utf16ToUtf8(text);
    return {utf8.begin(), utf8.end()};
}

}  // namespace

std::optional<std::vector<uint8_t>> ScriptRequestHandler::answer(uint64_t tag,
                                                                 std::span<const uint8_t> data) {
    const std::optional<ScriptRequest> request = decodeScriptRequest(tag, data);
    if (!request)
        return std::nullopt;
    ScriptReply reply;
    if (std::holds_alternative<StatusRequest>(*request)) {
        reply.payload = encodeDriverStatus(status());
    } else if (const auto* exported = std::get_if<ExportRequest>(&*request)) {
        reply = exportProfile(*exported);
    } else {
        reply = importProfile(std::get<ImportRequest>(*request));
    }
    return encodeScriptReply(reply);
}

DriverStatus ScriptRequestHandler::status() const {
    const ConfigProfile working = s_.profiles.profile();
    const MouseState mouse = s_.device.mouseState();
    const auto level = static_cast<size_t>(working.dpiLevel);
    return DriverStatus{
        .mouseConnected = s_.device.deviceFound() != 0,
        .driverWorking = s_.banner.driverWorking.load() != 0,
        .profile = s_.profiles.currentConfig(),
        .dpiLevel = working.dpiLevel + 1,
        .dpi = dpiValueOf(mouse.dpiCode(level, working)),
        .ledMode = mouse.reportedLedMode(working),
        .version = s_.version,
    };
}

ScriptReply ScriptRequestHandler::exportProfile(const ExportRequest& request) const {
    const std::optional<std::vector<std::byte>> file = s_.transfer.exportStored(request.profile);
    if (!file)
        return {ScriptOutcome::NotSaved, {}};
    ScriptReply reply;
    for (const std::byte b : *file)
        reply.payload.push_back(static_cast<uint8_t>(b));
    return reply;
}

ScriptReply ScriptRequestHandler::importProfile(const ImportRequest& request) {
    const auto planning = s_.transfer.plan(request.file, request.profile);
    if (const auto* problem = std::get_if<ProfileFileProblem>(&planning))
        return {outcomeOf(problem->fault), utf8Of(problem->detail)};
    const PlannedImport& planned = std::get<PlannedImport>(planning);
    if (!request.force && s_.transfer.replacesSettings(planned.plan))
        return {ScriptOutcome::ReplacesSettings, {}};
    switch (s_.transfer.apply(planned)) {
        case ImportOutcome::Done:
            return {ScriptOutcome::Done, {}};
        case ImportOutcome::ChangedMeanwhile:
            return {ScriptOutcome::ChangedMeanwhile, {}};
        case ImportOutcome::NotSaved:
            return {ScriptOutcome::NotSaved, {}};
    }
    return {ScriptOutcome::NotSaved, {}};
}

}  // namespace v270
