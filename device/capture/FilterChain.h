#pragma once
// A linear libavfilter graph built filter by filter. Each option is set by name with
// its literal value (no filter-graph syntax), so texts such as a device's name need no
// escaping. The graph runs on the caller's thread only.

#include "FfmpegSupport.h"

#include <initializer_list>
#include <string>
#include <vector>

class FilterChain
{
public:
    struct Option
    {
        const char* name;
        std::string value;
    };

    // Appends a filter behind the last one; the first filter is the chain's source.
    bool Append(const char* filterName, std::initializer_list<Option> options, std::string* pError);
    bool Append(const char* filterName, const std::vector<Option>& options, std::string* pError);
    // Checks the links and negotiates formats; the chain is usable afterwards. The
    // last filter must be a buffer sink.
    bool Configure(std::string* pError);

    bool IsConfigured() const { return m_bConfigured; }
    void Reset();

    // Gives a frame to the chain's buffer source (it takes the frame's reference).
    bool Push(AVFrame* pFrame, std::string* pError);
    enum class Pulled
    {
        Frame,      // *pFrame holds the next frame
        NeedsInput, // the chain waits for more input
        Failed,     // *pError says why
    };
    // The next frame from the sink.
    Pulled Pull(AVFrame* pFrame, std::string* pError);
    // Exactly nSamples samples from an audio sink.
    Pulled PullSamples(AVFrame* pFrame, int nSamples, std::string* pError);
    // A frame that the chain must have ready, as a generator or a chain that gives one
    // frame for each it takes has; nSamples 0 takes the next frame whatever its length.
    bool Take(AVFrame* pFrame, int nSamples, std::string* pError);

private:
    AVFilterContext* CreateFilter(const char* filterName, std::string* pError);

    ffmpeg::FilterGraphPtr m_pGraph;
    AVFilterContext* m_pFirst = nullptr;
    AVFilterContext* m_pLast = nullptr;
    int m_nFilters = 0;
    bool m_bConfigured = false;
};
