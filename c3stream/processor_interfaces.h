#pragma once

// The visitor interfaces that elements hand themselves to. Every operation takes the element
// and returns true to go on or false to stop the walk. Each operation goes on by default, so a
// processor overrides only the elements it cares about.

class CC3AudioData;
class CC3VideoData;
class CC3Header;
class CC3Packet;
class CC3Stream;
class CPesDataPacket;
class CPesPaddingPacket;
class CPesPacket;
class CAudioRawData;
class CAudioPayload;
class CAudioFrameHeader;
class CAudioFrame;
class CAudioStream;
class CGenericExtension;
class CPictureCodingExtension;
class CSequenceScalableExtension;
class CSequenceDisplayExtension;
class CSequenceExtension;
class CExtension;
class CPictureHeader;
class CGopHeader;
class CUserData;
class CSequenceHeader;
class CSequenceEnd;
class CVideoStream;

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

// Elements of PES packets. A packet's optional fields are not walked on their own.
class IPesProcessor
{
public:
    virtual ~IPesProcessor() = default;

    virtual bool ProcessDataPacket(CPesDataPacket&) { return true; }
    virtual bool ProcessPaddingPacket(CPesPaddingPacket&) { return true; }
    virtual bool ProcessPesPacket(CPesPacket&) { return true; }
};

// Elements of the framed audio stream, children before their parents.
class IAudioProcessor
{
public:
    virtual ~IAudioProcessor() = default;

    virtual bool ProcessAudioRawData(CAudioRawData&) { return true; }
    virtual bool ProcessAudioPayload(CAudioPayload&) { return true; }
    virtual bool ProcessAudioFrameHeader(CAudioFrameHeader&) { return true; }
    virtual bool ProcessAudioFrame(CAudioFrame&) { return true; }
    virtual bool ProcessAudioStream(CAudioStream&) { return true; }
};

// Elements of the MPEG video elementary stream. The stream comes first; the sequences, groups
// of pictures and pictures are walked without an operation of their own.
class IVideoProcessor
{
public:
    virtual ~IVideoProcessor() = default;

    virtual bool ProcessGenericExtension(CGenericExtension&) { return true; }
    virtual bool ProcessPictureCodingExtension(CPictureCodingExtension&) { return true; }
    virtual bool ProcessSequenceScalableExtension(CSequenceScalableExtension&) { return true; }
    virtual bool ProcessSequenceDisplayExtension(CSequenceDisplayExtension&) { return true; }
    virtual bool ProcessSequenceExtension(CSequenceExtension&) { return true; }
    virtual bool ProcessExtension(CExtension&) { return true; }
    virtual bool ProcessPictureHeader(CPictureHeader&) { return true; }
    virtual bool ProcessGopHeader(CGopHeader&) { return true; }
    virtual bool ProcessUserData(CUserData&) { return true; }
    virtual bool ProcessSequenceHeader(CSequenceHeader&) { return true; }
    virtual bool ProcessSequenceEnd(CSequenceEnd&) { return true; }
    virtual bool ProcessVideoStream(CVideoStream&) { return true; }
};

// The processor every Accept receives: one class walks every kind of element.
class IProcessor : public IC3Processor,
                   public IPesProcessor,
                   public IAudioProcessor,
                   public IVideoProcessor
{
};
