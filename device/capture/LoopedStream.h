#pragma once
// One stream of a source file, looped (LoopedDecoder) and converted by a filter chain
// to what the device encodes. The chain is built from the first decoded frame and
// built again when the stream's format changes.

#include "FilterChain.h"
#include "LoopedDecoder.h"

#include <functional>
#include <string>

class LoopedStream
{
public:
    // Appends the converting filters for frames like `first`, whose timestamps are in
    // timeBase, from the buffer source to the sink.
    using ChainBuilder = std::function<bool(FilterChain& chain, const AVFrame& first,
                                            AVRational timeBase, std::string* pError)>;

    bool Open(const std::string& path, AVMediaType type, ChainBuilder builder, std::string* pError);
    bool HasStream() const { return m_Decoder.HasStream(); }

    // The next converted frame, or exactly nSamples samples when nSamples is not 0.
    bool Next(AVFrame* pFrame, int nSamples, std::string* pError);

private:
    struct Format
    {
        int width = 0;
        int height = 0;
        int format = -1;
        int sampleRate = 0;
        int channels = 0;
        bool operator==(const Format&) const = default;
    };
    static Format FormatOf(const AVFrame& frame);

    bool Feed(std::string* pError);

    LoopedDecoder m_Decoder;
    ChainBuilder m_Builder;
    FilterChain m_Chain;
    Format m_ChainFormat;
    ffmpeg::FramePtr m_pDecoded;
};
