#include "actions/step_list.h"

#include "actions/key_names.h"
#include "settings/text.h"

namespace v270 {

namespace {

constexpr std::u16string_view kPressMark = u"[↓]";
constexpr std::u16string_view kReleaseMark = u"[↑]";

}  // namespace

std::u16string stepRowText(const MacroStep& step, bool english) {
    std::u16string text;
    if (step.action == kStepPress)
        text = kPressMark;
    else if (step.action == kStepRelease)
        text = kReleaseMark;
    return text + keyName(step.key, english);
}

std::u16string delayRowText(uint16_t delay) {
    return u"    " + formatInt(delay) + u"ms";
}

StepListRows stepListRows(const MacroRecord& macro, bool english) {
    StepListRows list;
    for (size_t k = 0; k < macro.stepCount; ++k) {
        const MacroStep& step = macro.steps[k];
        if (k > 0)
            list.rows.push_back(delayRowText(macro.steps[k - 1].delay));
        list.rows.push_back(stepRowText(step, english));
        if (step.action == kStepPress)
            ++list.pressCount;
        else if (step.action == kStepRelease)
            ++list.releaseCount;
    }
    return list;
}

}  // namespace v270
