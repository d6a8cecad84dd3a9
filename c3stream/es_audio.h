#pragma once

#include "c3stream/syntax.h"
#include "c3stream/timestamps.h"

#include <cstdint>
#include <memory>

// The framed audio stream: frames of a 24-byte header that starts with the marker 0xDEADCAFE,
// followed by the payload the header announces. Bytes outside frames are kept as raw blocks.
// Payloads and raw blocks point into the buffer they were read from, which must outlive every
// Write of them.

inline constexpr std::uint32_t kAudioFrameMarker = 0xDEADCAFE;
inline constexpr std::uint32_t kAudioFrameHeaderLength = 24;

class CAudioFrameHeader : public CSyntaxElement
{
public:
    // Stops after the first word when it is not the marker. Throws CReaderException when the
    // buffer ends inside a field; the reserved bytes are skipped without throwing.
    void Read(CBufferReader& reader) override;
    void Write(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;

    CSecondsTime m_time;
    std::uint8_t m_byParam1 = 0;
    std::uint8_t m_byParam2 = 0;
    std::uint8_t m_byParam3 = 0;
    std::uint32_t m_cbPayloadLength = 0;
    // The marker's first byte in the read buffer.
    const std::uint8_t* m_pFrameStart = nullptr;
};

// The bytes of one frame. A payload cut short by the end of the buffer keeps what is there.
class CAudioPayload : public CSyntaxElement
{
public:
    explicit CAudioPayload(std::uint32_t cbLength = 0)
        : m_cbDeclaredLength(cbLength), m_cbActualLength(cbLength)
    {
    }

    void Read(CBufferReader& reader) override;
    // Copies the actual length.
    void Write(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;

    const std::uint8_t* m_pData = nullptr;
    std::uint32_t m_cbDeclaredLength;
    std::uint32_t m_cbActualLength;
};

// Bytes up to the next frame marker, or to the end of the buffer when none follows.
class CAudioRawData : public CSyntaxElement
{
public:
    void Read(CBufferReader& reader) override;
    void Write(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;

    const std::uint8_t* m_pData = nullptr;
    std::uint32_t m_cbLength = 0;
};

// A header and its one payload.
class CAudioFrame : public CCompositeElement
{
public:
    // Walks the header and the payload, then hands over the frame itself.
    bool Accept(IProcessor& processor) override;

    CAudioFrameHeader* FrameHeader() const;
    CAudioPayload* Payload() const;

protected:
    std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader& reader) override;
    std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) override;

private:
    bool m_bPayloadTaken = false;
};

// Frames and raw blocks in stream order.
class CAudioStream : public CCompositeElement
{
public:
    // Walks every frame and raw block, then hands over the stream itself.
    bool Accept(IProcessor& processor) override;

protected:
    std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader& reader) override;
    // A frame where the marker stands, a raw block otherwise (also for fewer than 4 bytes).
    std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) override;
};

// Makes the elements of the audio stream; install a derived factory to parse into derived
// classes.
class CAudioFactory
{
public:
    virtual ~CAudioFactory() = default;

    virtual std::unique_ptr<CAudioFrame> CreateFrame();
    virtual std::unique_ptr<CAudioFrameHeader> CreateFrameHeader();
    virtual std::unique_ptr<CAudioPayload> CreatePayload(std::uint32_t cbLength);
    virtual std::unique_ptr<CAudioRawData> CreateRawData();
};
