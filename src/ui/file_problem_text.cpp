#include "ui/file_problem_text.h"

#include "settings/text.h"

namespace v270 {

namespace {

std::u16string tooLargeReason(bool english) {
    const std::u16string size = formatInt(static_cast<int64_t>(IniFiles::kMaxFileBytes >> 20));
    return english ? u"the file is larger than " + size + u" MB, more than any settings file."
                   : u"文件大于 " + size + u" MB，不是设置文件。";
}

std::u16string reasonOf(const FileProblem& problem, bool english) {
    return problem.kind == FileProblem::Kind::TooLarge ? tooLargeReason(english) : problem.reason;
}

}  // namespace

std::u16string fileProblemMessage(const FileProblem& problem, bool english) {
    const std::u16string file = pathToUtf16(problem.file);
    const std::u16string reason = reasonOf(problem, english);
    if (problem.kind == FileProblem::Kind::Read) {
        return english ? u"Could not read \"" + file + u"\": " + reason +
                             u"\nThe file is kept as it is: the program does not write it until "
                             u"it has read it."
                       : u"无法读取“" + file + u"”：" + reason +
                             u"\n该文件保持原样：程序在读取它之前不会写入它。";
    }
    return english ? u"Could not save \"" + file + u"\": " + reason
                   : u"无法保存“" + file + u"”：" + reason;
}

std::u16string fileProblemNotice(const FileProblem& problem, bool english) {
    const std::u16string name = pathToUtf16(problem.file.filename());
    const std::u16string reason = reasonOf(problem, english);
    if (problem.kind == FileProblem::Kind::Read)
        return english ? name + u" could not be read: " + reason
                       : u"无法读取 " + name + u"：" + reason;
    return english ? name + u" not saved: " + reason : name + u" 未保存：" + reason;
}

}  // namespace v270
