#pragma once

#include "c3stream/syntax.h"
#include "c3stream/timestamps.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// The C3 stream: a plain run of packets, each a 28-byte header, the video bytes, then the audio
// bytes. Every multi-byte number is big-endian.

inline constexpr std::uint32_t kC3Marker = 0x8888CAFE;
inline constexpr std::uint32_t kC3HeaderLength = 28;
// picture_coding_type of the picture that opens a packet's video, in flags bits 0-2.
inline constexpr std::uint32_t kPictureI = 1;
inline constexpr std::uint32_t kPictureP = 2;
inline constexpr std::uint32_t kPictureB = 3;

class CC3Header : public CSyntaxElement
{
public:
    // Stops after the first word when it is not the marker; the fields keep their values.
    void Read(CBufferReader& reader) override;
    // Writes exactly the values held; computes nothing.
    void Write(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;

    std::uint32_t PictureType() const { return m_nFlags & 0x7; }
    // The audio units that belong in the packet; a count of 0 means 2.
    std::uint32_t AudioUnits() const;
    // Header plus both payloads: what the next packet stores as its previous length.
    std::uint64_t TotalLength() const;

    std::uint32_t m_cbHeaderLength = 0;
    std::uint32_t m_cbVideoLength = 0;
    std::uint32_t m_cbAudioLength = 0;
    std::uint32_t m_nFlags = 0;
    std::uint32_t m_cbPreviousLength = 0;
    CSecondsTime m_timestamp;
};

// Payload bytes of a packet. They are not copied: the element points into the buffer it was
// read from, which must outlive every Write of it.
class CC3Payload : public CSyntaxElement
{
public:
    explicit CC3Payload(std::uint32_t cbLength = 0) : m_cbLength(cbLength) {}

    // Records the position and steps over the declared length; throws CReaderException when
    // fewer bytes remain, so the element never points past its buffer.
    void Read(CBufferReader& reader) override;
    // Copies the bytes with a raw write, cut at the end of the buffer. Without data (built by
    // hand and never given bytes) it writes zero bytes of the declared length instead.
    void Write(CBufferWriter& writer) override;

    const std::uint8_t* Data() const { return m_pData; }
    std::uint32_t Length() const { return m_cbLength; }
    void SetData(const std::uint8_t* pData, std::uint32_t cbLength);

private:
    std::uint32_t m_cbLength = 0;
    const std::uint8_t* m_pData = nullptr;
};

class CC3VideoData : public CC3Payload
{
public:
    using CC3Payload::CC3Payload;
    bool Accept(IProcessor& processor) override;
};

class CC3AudioData : public CC3Payload
{
public:
    using CC3Payload::CC3Payload;
    bool Accept(IProcessor& processor) override;
};

// A header, then at most one video and one audio payload.
class CC3Packet : public CCompositeElement
{
public:
    // Walks header, video and audio, then hands over the packet itself.
    bool Accept(IProcessor& processor) override;

    CC3Header* C3Header() const;
    CC3VideoData* VideoData() const;
    CC3AudioData* AudioData() const;

protected:
    std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader& reader) override;
    // A payload only when its declared length is there in full; otherwise the packet ends.
    std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) override;

private:
    template <class TPayload> TPayload* FindChild() const;

    bool m_bVideoTaken = false;
    bool m_bAudioTaken = false;
};

// The packets of a stream, in order. Reading stops quietly at the first bytes that are not a
// marker; those bytes are left unread.
class CC3Stream : public CCompositeElement
{
public:
    // Walks every packet, then hands over the stream itself.
    bool Accept(IProcessor& processor) override;

protected:
    std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader& reader) override;
    std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) override;
};

// Makes the elements of the C3 stream. An application derives from it and installs its own
// through CSingletonManager to make a parse create its own element classes.
class CC3Factory
{
public:
    virtual ~CC3Factory() = default;

    virtual std::unique_ptr<CC3Stream> CreateStream();
    virtual std::unique_ptr<CC3Packet> CreatePacket();
    // A header when nMarker is the C3 marker, null otherwise.
    virtual std::unique_ptr<CC3Header> CreateHeader(std::uint32_t nMarker);
    virtual std::unique_ptr<CC3VideoData> CreateVideoData(std::uint32_t cbLength);
    virtual std::unique_ptr<CC3AudioData> CreateAudioData(std::uint32_t cbLength);
};
