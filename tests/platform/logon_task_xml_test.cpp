#include "platform/logon_task_xml.h"

#include <gtest/gtest.h>

namespace v270::platform {
namespace {

TEST(LogonTaskXmlTest, WhatIsWrittenReadsBackWithEveryCharacterOfAPath) {
    const LogonTaskDefinition tasks[] = {
        {u"PC\\user", u"C:\\Games & Tools\\<V270>\\\"V270\".exe", u"--tray", true, true},
        {u"域\\用户", u"D:\\鼠标\\V270.exe", u"--tray --profile 2", true, true},
        {u"PC\\user", u"C:\\V270.exe", u"", false, false, kNormalTaskPriority},
        {u"PC\\user", u"C:\\V270.exe", u"", false, false, 10},
    };
    for (const LogonTaskDefinition& task : tasks) {
        const std::u16string xml = logonTaskXml(task);
        EXPECT_EQ(readLogonTaskXml(xml), task);
        EXPECT_EQ(xml.find(u"& "), std::u16string::npos) << "escaped";
    }
}

TEST(LogonTaskXmlTest, ReadingTakesWhatTheSchedulerWrites) {
    struct Case {
        const char16_t* xml;
        LogonTaskDefinition expected;
    };
    const Case cases[] = {
        // As the scheduler of Windows gives it back: attributes, numeric references, layout.
        {u"<Task><Triggers>\r\n<LogonTrigger id=\"x\">\r\n<UserId>PC\\u</UserId></LogonTrigger>"
         u"</Triggers><Principals><Principal id=\"Author\"><UserId>PC\\u</UserId>"
         u"<RunLevel>HighestAvailable</RunLevel></Principal></Principals><Actions>"
         u"<Exec><Command>C:\\A&#38;B&#x41;\\V.exe</Command><Arguments>--tray</Arguments>"
         u"</Exec></Actions></Task>",
         {u"PC\\u", u"C:\\A&BA\\V.exe", u"--tray", true, true}},
        // As Wine's keeps it: no trigger, an empty principal and action, its settings.
        {u"<Task><Triggers/><Principals><Principal>\n</Principal></Principals>"
         u"<Settings><Enabled>true</Enabled><Priority>4</Priority></Settings>"
         u"<Actions><Exec/></Actions></Task>",
         {u"", u"", u"", false, false, kNormalTaskPriority}},
        // A priority that is not one: the scheduler's default.
        {u"<Settings><Priority>11</Priority></Settings>", {}},
        {u"<Settings><Priority>-1</Priority></Settings>", {}},
        // Broken or foreign text: nothing found, nothing read past its end.
        {u"<Task><Exec><Command>C:\\x", {}},
        {u"<LogonTriggerX/><RunLevel>HighestAvailable</RunLevel><Command>&bogus;</Command>", {}},
        {u"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readLogonTaskXml(c.xml), c.expected) << std::u16string_view(c.xml).size();
}

}  // namespace
}  // namespace v270::platform
