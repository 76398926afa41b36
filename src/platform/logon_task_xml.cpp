#include "platform/logon_task_xml.h"

#include <array>
#include <optional>
#include <utility>

namespace v270::platform {

namespace {

constexpr std::array<std::pair<char16_t, std::u16string_view>, 5> kEntities = {{
    {u'&', u"&amp;"},
    {u'<', u"&lt;"},
    {u'>', u"&gt;"},
    {u'"', u"&quot;"},
    {u'\'', u"&apos;"},
}};

// "<name" or "</name", built by appending: GCC 12's optimiser warns about the overlap of
// a prefix inserted in front of a temporary string, wrongly.
std::u16string tagStart(std::u16string_view opening, std::u16string_view name) {
    std::u16string tag(opening);
    tag += name;
    return tag;
}

std::u16string element(std::u16string_view name, std::u16string_view text) {
    std::u16string xml = tagStart(u"<", name);
    xml += u'>';
    xml += escapeXml(text);
    xml += tagStart(u"</", name);
    xml += u'>';
    return xml;
}

// The part of `xml` inside the first element `name` (an element with attributes counts; an
// empty element <name/> is present with no content); nothing when there is none.
std::optional<std::u16string_view> inside(std::u16string_view xml, std::u16string_view name) {
    const std::u16string open = tagStart(u"<", name);
    for (size_t at = xml.find(open); at != std::u16string_view::npos; at = xml.find(open, at + 1)) {
        const size_t after = at + open.size();
        if (after >= xml.size())
            return std::nullopt;
        const char16_t next = xml[after];
        if (next != u'>' && next != u'/' && next != u' ' && next != u'\t' && next != u'\r' &&
            next != u'\n') {
            continue;  // a longer name: <UserIdX>
        }
        const size_t end = xml.find(u'>', after);
        if (end == std::u16string_view::npos)
            return std::nullopt;
        if (xml[end - 1] == u'/')
            return std::u16string_view{};
        const size_t close = xml.find(tagStart(u"</", name) + u'>', end);
        if (close == std::u16string_view::npos)
            return std::nullopt;
        return xml.substr(end + 1, close - end - 1);
    }
    return std::nullopt;
}

std::u16string unescapeXml(std::u16string_view text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
            continue;
        }
        const size_t end = text.find(u';', i);
        if (end == std::u16string_view::npos) {
            out += text.substr(i);
            break;
        }
        const std::u16string_view entity = text.substr(i, end - i + 1);
        bool known = false;
        for (const auto& [character, name] : kEntities) {
            if (entity == name) {
                out += character;
                known = true;
            }
        }
        if (!known && entity.size() > 3 && entity[1] == u'#') {
            // &#NN; and &#xNN; of a character of the basic plane.
            const bool hex = entity[2] == u'x' || entity[2] == u'X';
            uint32_t value = 0;
            known = true;
            for (const char16_t digit : entity.substr(hex ? 3 : 2, entity.size() - (hex ? 4 : 3))) {
                uint32_t d = 0;
                if (digit >= u'0' && digit <= u'9')
                    d = digit - u'0';
                else if (hex && digit >= u'a' && digit <= u'f')
                    d = digit - u'a' + 10;
                else if (hex && digit >= u'A' && digit <= u'F')
                    d = digit - u'A' + 10;
                else
                    known = false;
                value = value * (hex ? 16 : 10) + d;
                if (value > 0xFFFF)
                    known = false;
            }
            if (known)
                out += static_cast<char16_t>(value);
        }
        if (!known)
            out += entity;
        i = end;
    }
    return out;
}

std::u16string textOf(std::u16string_view xml, std::u16string_view name) {
    const std::optional<std::u16string_view> text = inside(xml, name);
    return text ? unescapeXml(*text) : std::u16string{};
}

constexpr int32_t kLowestTaskPriority = 10;

std::u16string priorityText(int32_t priority) {
    if (priority < 0 || priority > kLowestTaskPriority)
        priority = kDefaultTaskPriority;
    std::u16string text;
    if (priority >= 10)
        text += u'1';
    text += static_cast<char16_t>(u'0' + priority % 10);
    return text;
}

// The priority a task's settings give, the scheduler's default when there is none or it is
// not a number from 0 to 10.
int32_t priorityOf(std::u16string_view settings) {
    const std::u16string text = textOf(settings, u"Priority");
    if (text.empty() || text.size() > 2)
        return kDefaultTaskPriority;
    int32_t value = 0;
    for (const char16_t digit : text) {
        if (digit < u'0' || digit > u'9')
            return kDefaultTaskPriority;
        value = value * 10 + (digit - u'0');
    }
    return value <= kLowestTaskPriority ? value : kDefaultTaskPriority;
}

}  // namespace

std::u16string escapeXml(std::u16string_view text) {
    std::u16string out;
    for (const char16_t unit : text) {
        bool replaced = false;
        for (const auto& [character, name] : kEntities) {
            if (unit == character) {
                out += name;
                replaced = true;
            }
        }
        if (!replaced)
            out += unit;
    }
    return out;
}

std::u16string logonTaskXml(const LogonTaskDefinition& task) {
    std::u16string xml =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
        u"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
        u"  <RegistrationInfo><Description>Starts the V270 mouse driver in the tray at logon."
        u"</Description></RegistrationInfo>\n"
        u"  <Triggers>";
    if (task.atLogon) {
        xml += u"<LogonTrigger><Enabled>true</Enabled>" + element(u"UserId", task.userId) +
               u"</LogonTrigger>";
    }
    xml += u"</Triggers>\n  <Principals><Principal id=\"Author\">" +
           element(u"UserId", task.userId) + u"<LogonType>InteractiveToken</LogonType>" +
           element(u"RunLevel", task.highestPrivileges ? u"HighestAvailable" : u"LeastPrivilege") +
           u"</Principal></Principals>\n"
           u"  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
           u"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
           u"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
           u"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Enabled>true</Enabled>" +
           element(u"Priority", priorityText(task.priority)) +
           u"</Settings>\n"
           u"  <Actions Context=\"Author\"><Exec>" +
           element(u"Command", task.command) + element(u"Arguments", task.arguments) +
           u"</Exec></Actions>\n</Task>\n";
    return xml;
}

LogonTaskDefinition readLogonTaskXml(std::u16string_view xml) {
    LogonTaskDefinition task;
    const std::optional<std::u16string_view> trigger = inside(xml, u"LogonTrigger");
    task.atLogon = trigger.has_value();
    const std::optional<std::u16string_view> principal = inside(xml, u"Principal");
    if (principal) {
        task.userId = textOf(*principal, u"UserId");
        task.highestPrivileges = textOf(*principal, u"RunLevel") == u"HighestAvailable";
    }
    if (trigger && task.userId.empty())
        task.userId = textOf(*trigger, u"UserId");
    if (const std::optional<std::u16string_view> exec = inside(xml, u"Exec")) {
        task.command = textOf(*exec, u"Command");
        task.arguments = textOf(*exec, u"Arguments");
    }
    if (const std::optional<std::u16string_view> settings = inside(xml, u"Settings"))
        task.priority = priorityOf(*settings);
    return task;
}

}  // namespace v270::platform
