#pragma once

// The visitor interfaces that elements hand themselves to. Every operation takes the element
// and returns true to go on or false to stop the walk. Each operation goes on by default, so a
// processor overrides only the elements it cares about.

class CC3AudioData;
class CC3VideoData;
class CC3Header;
class CC3Packet;
class CC3Stream;

// Elements of the C3 stream container.
class IC3Processor
{
public:
    virtual ~IC3Processor() = default;

    virtual bool ProcessAudioData(CC3AudioData&) { return true; }
    virtual bool ProcessVideoData(CC3VideoData&) { return true; }
    virtual bool ProcessHeader(CC3Header&) { return true; }
    virtual bool ProcessPacket(CC3Packet&) { return true; }
    virtual bool ProcessStream(CC3Stream&) { return true; }
};

// Elements of PES packets; the operations are declared with those elements.
class IPesProcessor
{
public:
    virtual ~IPesProcessor() = default;
};

// Elements of the framed audio stream; the operations are declared with those elements.
class IAudioProcessor
{
public:
    virtual ~IAudioProcessor() = default;
};

// Elements of the MPEG video elementary stream; the operations are declared with those
// elements.
class IVideoProcessor
{
public:
    virtual ~IVideoProcessor() = default;
};

// The processor every Accept receives: one class walks every kind of element.
class IProcessor : public IC3Processor,
                   public IPesProcessor,
                   public IAudioProcessor,
                   public IVideoProcessor
{
};
