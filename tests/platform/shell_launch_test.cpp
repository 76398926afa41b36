#include "platform/shell_launch.h"

#include <gtest/gtest.h>

namespace v270::platform {
namespace {

TEST(ShellLaunchTest, ProgramsStartOnlyThroughAShellWithoutAdministratorRights) {
    struct Case {
        DesktopShell shell;
        bool starts;
    };
    const Case cases[] = {
        {{true, false, false}, true},
        {{false, false, std::nullopt}, false},  // no shell: never the driver's own token
        {{true, false, true}, false},           // an elevated shell: its rights are the driver's
        {{true, false, std::nullopt}, false},   // rights that cannot be read
        {{true, true, false}, false},           // the driver would serve its own request
    };
    for (const Case& c : cases)
        EXPECT_EQ(!shellLaunchRefusal(c.shell), c.starts);
    EXPECT_EQ(shellLaunchRefusal({true, false, true}),
              u"the desktop shell runs with administrator rights");
}

}  // namespace
}  // namespace v270::platform
