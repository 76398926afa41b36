#include "app/script_command.h"

#include "app/driver_status.h"
#include "app/instance_request.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/text.h"

namespace v270 {
namespace {

using Parsed = std::variant<ScriptCommand, CommandLineProblem>;
using F = CommandLineFault;

TEST(ScriptCommandTest, OptionsForScripts) {
    struct Case {
        std::vector<std::u16string> words;
        Parsed parsed;
    };
    const Case cases[] = {
        {{u"--status"}, ScriptCommand{StatusCommand{}}},
        {{u"--export-profile", u"2", u"C:\\a b.v270profile"},
         ScriptCommand{ExportCommand{2, u"C:\\a b.v270profile"}}},
        {{u"--import-profile", u"x", u"4"}, ScriptCommand{ImportCommand{u"x", 4, false}}},
        {{u"--force", u"--import-profile", u"x", u"5"},
         ScriptCommand{ImportCommand{u"x", 5, true}}},
        {{u"--import-profile", u"x", u"1", u"--force"},
         ScriptCommand{ImportCommand{u"x", 1, true}}},
        {{u"--status", u"--tray"}, CommandLineProblem{F::NotAlone, u"--status"}},
        {{u"--profile", u"2", u"--status"}, CommandLineProblem{F::NotAlone, u"--status"}},
        {{u"--status", u"--status"}, CommandLineProblem{F::RepeatedOption, u"--status"}},
        {{u"--status", u"extra"}, CommandLineProblem{F::UnknownOption, u"extra"}},
        {{u"--export-profile", u"6", u"f"}, CommandLineProblem{F::BadProfileNumber, u"6"}},
        {{u"--export-profile", u"2"}, CommandLineProblem{F::MissingFileName, u"--export-profile"}},
        {{u"--export-profile", u"--status"},
         CommandLineProblem{F::MissingProfileNumber, u"--export-profile"}},
        {{u"--import-profile", u"f"},
         CommandLineProblem{F::MissingProfileNumber, u"--import-profile"}},
        {{u"--status", u"--force"}, CommandLineProblem{F::ForceWithoutImport, u"--force"}},
        {{u"--force"}, CommandLineProblem{F::ForceWithoutImport, u"--force"}},
        {{u"--force", u"--tray"}, CommandLineProblem{F::ForceWithoutImport, u"--force"}},
        {{u"--force", u"--force", u"--import-profile", u"f", u"1"},
         CommandLineProblem{F::RepeatedOption, u"--force"}},
    };
    for (const Case& c : cases) {
        const auto parsed = parseScriptCommand(c.words);
        ASSERT_TRUE(parsed.has_value()) << utf16ToUtf8(c.words[0]);
        EXPECT_EQ(*parsed, c.parsed) << utf16ToUtf8(c.words[0]) << " " << c.words.size();
    }
    // The driver's own command lines are not these.
    EXPECT_FALSE(parseScriptCommand(std::vector<std::u16string>{u"--profile", u"2"}));
    EXPECT_FALSE(parseScriptCommand(std::vector<std::u16string>{}));
}

TEST(ScriptCommandTest, RequestsAndRepliesTravelWholeOrNotAtAll) {
    const std::vector<std::byte> file(10, std::byte{'x'});
    for (const ScriptRequest& request :
         {ScriptRequest{StatusRequest{}}, ScriptRequest{ExportRequest{5}},
          ScriptRequest{ImportRequest{3, true, file}}}) {
        EXPECT_EQ(decodeScriptRequest(kInstanceRequestTag, encodeScriptRequest(request)), request);
    }
    const ScriptReply reply{ScriptOutcome::Damaged, {'K', '3'}};
    EXPECT_EQ(decodeScriptReply(kScriptReplyTag, encodeScriptReply(reply)), reply);
    EXPECT_FALSE(decodeScriptReply(kInstanceRequestTag, encodeScriptReply(reply)));
    std::vector<uint8_t> unknownOutcome = encodeScriptReply(reply);
    unknownOutcome[5] = 9;
    EXPECT_FALSE(decodeScriptReply(kScriptReplyTag, unknownOutcome));

    const DriverStatus status{true, false, 3, 2, 1600, 1, "1.1.0"};
    EXPECT_EQ(decodeDriverStatus(encodeDriverStatus(status)), status);
    EXPECT_EQ(statusJson(status),
              R"({"mouseConnected":true,"driverWorking":false,"profile":3,"dpiLevel":2,)"
              R"("dpi":1600,"ledMode":1,"version":"1.1.0"})");
    std::vector<uint8_t> bytes = encodeDriverStatus(status);
    for (const auto& [at, value] : std::vector<std::pair<size_t, uint8_t>>{
             {0, 2}, {2, 0}, {2, 6}, {3, 5}, {6, 4}, {7, 4}, {8, '"'}}) {
        std::vector<uint8_t> broken = bytes;
        broken[at] = value;
        EXPECT_FALSE(decodeDriverStatus(broken)) << at;
    }
}

}  // namespace
}  // namespace v270
