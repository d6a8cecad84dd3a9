#include "OperationOptions.h"

#include "Arguments.h"
#include "Commands.h"

namespace
{
// Takes an option's value through parse; a problem is said in *pProblem.
template <class Parse>
void TakeValue(Arguments& arguments, const std::string& name, const std::string& meaning,
               Parse parse, std::string* pProblem)
{
    bool bMissing = false;
    const std::optional<std::string> value = arguments.TakeOption(name, &bMissing);
    if (bMissing)
        *pProblem = name + " needs a value";
    else if (value && !parse(*value))
        *pProblem = name + " takes " + meaning;
}
} // namespace

std::optional<OperationOptions> ParseOperationOptions(OperationCommand command,
                                                      const std::vector<std::string>& args,
                                                      int* pExit)
{
    const bool bCapture = command == OperationCommand::Capture;
    Arguments arguments(args);
    OperationOptions options;
    std::string problem;
    TakeValue(arguments, "--seconds", "a positive whole number",
              [&](const std::string& text)
              {
                  const std::optional<long long> count = ParseCount(text);
                  if (count && *count > 0)
                      options.limit = std::chrono::seconds(*count);
                  return count && *count > 0;
              },
              &problem);
    if (bCapture && problem.empty())
        TakeValue(arguments, "--size-limit", "a size in MB from 1 to 2032",
                  [&](const std::string& text)
                  {
                      const std::optional<long long> count = ParseCount(text);
                      const bool bValid = count && *count >= 1 && *count <= 2032;
                      if (bValid)
                          options.sizeLimitMB = int(*count);
                      return bValid;
                  },
                  &problem);
    if (problem.empty())
        TakeValue(arguments, "--preview",
                  bCapture ? "none, video or both (audio comes with video)"
                           : "none, video, audio or both",
                  [&](const std::string& text)
                  {
                      const std::optional<PreviewChoice> choice = ParsePreview(text);
                      const bool bValid = choice && !(bCapture && choice->bAudio && !choice->bVideo);
                      if (bValid)
                          options.preview = *choice;
                      return bValid;
                  },
                  &problem);
    std::string unknown;
    const auto operands = arguments.Operands(&unknown);
    if (problem.empty() && !operands)
        problem = "unknown option " + unknown;
    if (problem.empty() && operands->size() != 1)
        problem = bCapture ? "capture takes one target file" : "play takes one file";
    if (!problem.empty())
    {
        *pExit = UsageError(problem);
        return std::nullopt;
    }
    options.file = operands->front();
    return options;
}
