#include "FilterChain.h"

extern "C"
{
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

#include <new>

bool FilterChain::Append(const char* filterName, std::initializer_list<Option> options,
                         std::string* pError)
{
    return Append(filterName, std::vector<Option>(options), pError);
}

bool FilterChain::Append(const char* filterName, const std::vector<Option>& options,
                         std::string* pError)
{
    AVFilterContext* pFilter = CreateFilter(filterName, pError);
    if (!pFilter)
        return false;
    for (const Option& option : options)
    {
        const int result =
            av_opt_set(pFilter, option.name, option.value.c_str(), AV_OPT_SEARCH_CHILDREN);
        if (result < 0)
            return ffmpeg::Fail(
                pError, std::string(filterName) + " option " + option.name + "=" + option.value,
                result);
    }
    int result = avfilter_init_str(pFilter, nullptr);
    if (result < 0)
        return ffmpeg::Fail(pError, std::string("cannot set up the filter ") + filterName, result);
    if (m_pLast && (result = avfilter_link(m_pLast, 0, pFilter, 0)) < 0)
        return ffmpeg::Fail(pError, std::string("cannot link the filter ") + filterName, result);
    if (!m_pFirst)
        m_pFirst = pFilter;
    m_pLast = pFilter;
    return true;
}

AVFilterContext* FilterChain::CreateFilter(const char* filterName, std::string* pError)
{
    if (!m_pGraph)
    {
        m_pGraph.reset(avfilter_graph_alloc());
        if (!m_pGraph)
            throw std::bad_alloc();
        // One thread: the device must stay light on the processor, and its caller's
        // thread paces the work anyway.
        m_pGraph->nb_threads = 1;
    }
    const AVFilter* pFilter = avfilter_get_by_name(filterName);
    if (!pFilter)
    {
        ffmpeg::Fail(pError, std::string("FFmpeg lacks the filter ") + filterName);
        return nullptr;
    }
    const std::string name = filterName + std::to_string(m_nFilters++);
    AVFilterContext* pContext = avfilter_graph_alloc_filter(m_pGraph.get(), pFilter, name.c_str());
    if (!pContext)
        throw std::bad_alloc();
    return pContext;
}

bool FilterChain::Configure(std::string* pError)
{
    if (!m_pGraph)
        return ffmpeg::Fail(pError, "empty filter chain");
    const int result = avfilter_graph_config(m_pGraph.get(), nullptr);
    if (result < 0)
        return ffmpeg::Fail(pError, "cannot configure the filters", result);
    m_bConfigured = true;
    return true;
}

void FilterChain::Reset()
{
    m_pGraph.reset();
    m_pFirst = m_pLast = nullptr;
    m_nFilters = 0;
    m_bConfigured = false;
}

bool FilterChain::Push(AVFrame* pFrame, std::string* pError)
{
    const int result = av_buffersrc_add_frame(m_pFirst, pFrame);
    if (result < 0)
        return ffmpeg::Fail(pError, "the filters refused a frame", result);
    return true;
}

namespace
{
FilterChain::Pulled PullResult(int result, std::string* pError)
{
    if (result >= 0)
        return FilterChain::Pulled::Frame;
    if (result == AVERROR(EAGAIN))
        return FilterChain::Pulled::NeedsInput;
    if (result == AVERROR_EOF)
        ffmpeg::Fail(pError, "the filters ended their stream");
    else
        ffmpeg::Fail(pError, "the filters failed", result);
    return FilterChain::Pulled::Failed;
}
} // namespace

FilterChain::Pulled FilterChain::Pull(AVFrame* pFrame, std::string* pError)
{
    return PullResult(av_buffersink_get_frame(m_pLast, pFrame), pError);
}

FilterChain::Pulled FilterChain::PullSamples(AVFrame* pFrame, int nSamples, std::string* pError)
{
    return PullResult(av_buffersink_get_samples(m_pLast, pFrame, nSamples), pError);
}

bool FilterChain::Take(AVFrame* pFrame, int nSamples, std::string* pError)
{
    const Pulled pulled = nSamples ? PullSamples(pFrame, nSamples, pError) : Pull(pFrame, pError);
    if (pulled == Pulled::NeedsInput)
        return ffmpeg::Fail(pError, "the filters held a frame back");
    return pulled == Pulled::Frame;
}
