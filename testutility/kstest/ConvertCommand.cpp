#include "ConvertCommand.h"

#include "ConsoleReport.h"
#include "ConversionGraph.h"
#include "GraphEventWaiter.h"
#include "GraphEvents.h"
#include "HResultText.h"
#include "ProgressBar.h"
#include "RegistrationScript.h"

#include <com/ComRuntime.h>
#include <com/Registry.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>

namespace
{
using namespace std::chrono_literals;

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitInterrupted = 130;

const char* const kPlaybackError = "Error occurred during Playback";

// How often the progress is redrawn, and how long the conversion may go without
// reading or writing anything before it counts as stuck.
constexpr auto kTick = 200ms;
constexpr auto kStallLimit = 60s;

std::atomic<bool> g_bInterrupted{false};

void OnInterrupt(int)
{
    g_bInterrupted = true;
}

// Bytes of the source read so far and in all, from the splitter's seeking.
struct SourceProgress
{
    LONGLONG cbDone = 0;
    LONGLONG cbTotal = 0;
};

class ProgressReader
{
public:
    explicit ProgressReader(IBaseFilter* pSplitter)
    {
        if (pSplitter && SUCCEEDED(pSplitter->QueryInterface(
                             IID_IMediaSeeking, reinterpret_cast<void**>(&m_pSeeking))))
            m_pSeeking->SetTimeFormat(&TIME_FORMAT_BYTE);
    }

    SourceProgress Read() const
    {
        SourceProgress progress;
        if (m_pSeeking)
        {
            m_pSeeking->GetCurrentPosition(&progress.cbDone);
            m_pSeeking->GetDuration(&progress.cbTotal);
        }
        return progress;
    }

private:
    ComPtr<IMediaSeeking> m_pSeeking;
};

LONGLONG FileSize(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<LONGLONG>(size);
}

// What to run so that the filters can be created.
std::string RegistrationAdvice()
{
    const std::filesystem::path script = FindRegistrationScript();
    const std::string command =
        script.empty() ? std::string("regsvr -s MODULE.so...") : script.string();
    return "the filter modules are not registered in " + RegistryFilePath() +
           "; register them by running: " + command;
}

// Why the start failed, in words.
std::string StartFailureReason(const StartResult& result)
{
    if (result.hr == REGDB_E_CLASSNOTREG)
        return RegistrationAdvice();
    if (result.failedStep == "connecting Mpeg Splitter to Infinite 2 Tee")
        return "no audio stream found in the source (the splitter looks at its first seconds)";
    if (result.failedStep == "connecting File Reader to Mpeg Splitter")
        return "the source is not an MPEG program stream with audio or video it can read (" +
               DescribeResult(result.hr) + ")";
    return result.failedStep + ": " + DescribeResult(result.hr);
}

// Why an event ended the conversion, in words; the utility's message for the event says
// what happened.
std::string EventReason(const GraphEventWaiter::Ending& ending)
{
    if (ending.code == EC_ERRORABORT || ending.code == EC_STREAM_ERROR_STOPPED)
        return DescribeResult(HRESULT(ending.param1));
    return "the graph stopped early";
}

// What a conversion that ended early leaves of the target. The writer keeps whole output
// samples only, and each of them holds whole packets.
std::string KeptPart(const std::string& target)
{
    const LONGLONG cbKept = FileSize(target);
    if (cbKept <= 0)
        return "nothing of the C3 stream was written to " + target;
    return target + " keeps the first " + std::to_string(cbKept) +
           " bytes of the C3 stream, in whole packets";
}

class Conversion
{
public:
    Conversion(const std::string& source, const std::string& target)
        : m_Context(m_Report), m_Graph(m_Context, m_Settings, m_Report)
    {
        m_Settings.convertSource = source;
        m_Settings.convertTarget = target;
    }

    int Run()
    {
        if (m_Settings.convertTarget.size() >= kMaxPathChars)
            return Fail("Unable to Open file", "the target's name is too long");
        HRESULT hr = m_Context.CreateGraph();
        if (FAILED(hr))
            return Fail(kPlaybackError, "no filter graph: " + DescribeResult(hr));
        const StartResult started = m_Graph.Start();
        if (!started.Succeeded())
        {
            m_Report.PrintFailure(StartFailureReason(started));
            return kExitFailure;
        }
        // A target that cannot be created would leave whatever file was there.
        hr = m_Graph.OutputFileResult();
        if (FAILED(hr))
        {
            m_Graph.Stop();
            m_Report.ShowMessage("Unable to Open file");
            return Fail(kPlaybackError,
                        "cannot create " + m_Settings.convertTarget + ": " + DescribeResult(hr));
        }
        return WaitAndStop();
    }

private:
    int Fail(const char* pszMessage, const std::string& reason)
    {
        m_Report.ShowMessage(pszMessage);
        m_Report.PrintFailure(reason);
        return kExitFailure;
    }

    int WaitAndStop()
    {
        ProgressBar bar(stderr);
        const ProgressReader progress(m_Context.Slots().pMpegSplitter.Get());
        GraphEventWaiter waiter(m_Context.MediaEvent());
        GraphEventWaiter::Ending ending;
        bool bEnded = false;
        auto lastChange = std::chrono::steady_clock::now();
        LONGLONG lastMark = -1;
        while (!bEnded && !g_bInterrupted)
        {
            bEnded = waiter.WaitForEnding(kTick, &ending);
            const SourceProgress now = progress.Read();
            bar.Show(now.cbDone, now.cbTotal);
            // Anything read or written counts as progress.
            const LONGLONG mark = now.cbDone + FileSize(m_Settings.convertTarget);
            if (mark != lastMark)
            {
                lastMark = mark;
                lastChange = std::chrono::steady_clock::now();
            }
            else if (std::chrono::steady_clock::now() - lastChange > kStallLimit)
            {
                break;
            }
        }
        bar.Finish();
        m_Graph.Stop();
        if (g_bInterrupted)
        {
            FailEarly(kPlaybackError, "interrupted");
            return kExitInterrupted;
        }
        if (!bEnded)
            return FailEarly(kPlaybackError, "the conversion stopped making progress");
        if (ending.code != EC_COMPLETE)
        {
            const char* pszMessage = EffectOfGraphEvent(ending.code).pszMessage;
            return FailEarly(pszMessage ? pszMessage : kPlaybackError, EventReason(ending));
        }
        if (FileSize(m_Settings.convertTarget) <= 0)
            return Fail(kPlaybackError, "no C3 stream was written to " + m_Settings.convertTarget);
        return kExitSuccess;
    }

    // A conversion that ended before its end: the failure, then what the target keeps.
    int FailEarly(const char* pszMessage, const std::string& reason)
    {
        Fail(pszMessage, reason);
        m_Report.Diagnostic(KeptPart(m_Settings.convertTarget));
        return kExitFailure;
    }

    ConsoleReport m_Report;
    AppSettings m_Settings;
    GraphContext m_Context;
    ConversionGraph m_Graph;
};

// COM for the lifetime of one command.
class ComScope
{
public:
    ComScope() : m_hr(CoInitialize(nullptr)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    HRESULT Result() const { return m_hr; }

private:
    const HRESULT m_hr;
};
} // namespace

int RunConvertCommand(const std::string& source, const std::string& target)
{
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    ComScope com;
    if (FAILED(com.Result()))
    {
        std::cerr << "kstest: cannot initialise COM: " << DescribeResult(com.Result()) << '\n';
        return kExitFailure;
    }
    return Conversion(source, target).Run();
}
