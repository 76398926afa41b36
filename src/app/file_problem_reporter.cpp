#include "app/file_problem_reporter.h"

#include <algorithm>

#include "ui/file_problem_text.h"

namespace v270 {

void FileProblemReporter::fileProblem(const FileProblem& problem) {
    {
        const std::lock_guard lock(mutex_);
        if (std::ranges::find(told_, problem) != told_.end())
            return;
        told_.push_back(problem);
    }
    const bool english = profiles_.englishUi() != 0;
    if (std::this_thread::get_id() != windowThread_) {
        notice_.holdProblem(fileProblemNotice(problem, english));
    } else if (profiles_.languageKnown()) {
        messages_.show(fileProblemMessage(problem, english));
    } else {
        // Whoever reads it may speak the other language.
        messages_.show(fileProblemMessage(problem, true) + u"\n\n" +
                       fileProblemMessage(problem, false));
    }
}

}  // namespace v270
