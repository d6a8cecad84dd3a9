#pragma once

#include "c3stream/buffer_rw.h"
#include "c3stream/pes_description.h"
#include "c3stream/syntax.h"
#include "c3stream/timestamps.h"

#include <cstdint>
#include <memory>
#include <vector>

// Packetized elementary stream (PES) packets as ISO/IEC 13818-1 lays them out. Field names
// follow the standard's.

inline constexpr std::uint32_t kPesStartCodePrefix = 0x000001;
inline constexpr std::uint8_t kPesPrivateStream1 = 0xBD;
inline constexpr std::uint8_t kPesPaddingStream = 0xBE;
inline constexpr std::uint8_t kPesFirstAudioStream = 0xC0;
inline constexpr std::uint8_t kPesLastAudioStream = 0xDF;
inline constexpr std::uint8_t kPesFirstVideoStream = 0xE0;
inline constexpr std::uint8_t kPesLastVideoStream = 0xEF;

// PTS_DTS_flags values that carry times.
inline constexpr std::uint8_t kPesPtsOnly = 2;
inline constexpr std::uint8_t kPesPtsAndDts = 3;

// Streams whose packets carry no optional header: private stream 2, ECM, EMM, DSM-CC and the
// 0xF4-0xFE streams.
bool IsPesDataStream(std::uint8_t byStreamId);
// Streams whose packets carry the optional header: private stream 1, audio and video.
bool IsPesHeaderedStream(std::uint8_t byStreamId);

class CPesPacket;

// The fields of a PES packet header that its flags announce. Which of them are present is read
// from the owning packet's flags and from the extension flags held here.
class CPesOptionalFields : public CSyntaxElement
{
public:
    explicit CPesOptionalFields(const CPesPacket& packet) : m_packet(packet) {}

    // Throws CReaderException when the buffer ends inside a present field.
    void Read(CBufferReader& reader) override;
    // Writes the time prefixes, the ESCR reserved bits and every marker bit as the standard
    // fixes them, so it sets those fields first.
    void Write(CBufferWriter& writer) override;
    // The optional fields are not walked on their own; their packet is.
    bool Accept(IProcessor&) override { return true; }

    // Byte length of the present fields, computed in 8 bits as PES_header_data_length is.
    std::uint8_t Length() const;

    CPesTime m_pts;
    CPesTime m_dts;
    CEscrTime m_escr;
    std::uint32_t m_nEsRate = 0;
    std::uint8_t m_byTrickMode = 0;
    std::uint8_t m_byAdditionalCopyInfo = 0;
    std::uint16_t m_nPreviousCrc = 0;

    bool m_bPrivateDataFlag = false;
    bool m_bPackHeaderFieldFlag = false;
    bool m_bSequenceCounterFlag = false;
    bool m_bPstdBufferFlag = false;
    std::uint8_t m_byExtensionReserved = 7;
    bool m_bExtensionFlag2 = false;

    std::uint32_t m_nPrivateData[4] = {};
    std::uint8_t m_byPackFieldLength = 0;
    // pack_field_length bytes of a pack header, or null: then 0xFF bytes are written instead.
    std::unique_ptr<std::uint8_t[]> m_pPackHeader;
    std::uint8_t m_bySequenceCounter = 0;
    bool m_bMpeg1Mpeg2Identifier = false;
    std::uint8_t m_byOriginalStuffLength = 0;
    bool m_bPstdBufferScale = false;
    std::uint16_t m_nPstdBufferSize = 0;
    std::uint8_t m_byExtensionFieldLength = 0;

private:
    void ReadExtension(CBufferReader& reader);
    void WriteExtension(CBufferWriter& writer) const;
    void ReadPackHeader(CBufferReader& reader);

    const CPesPacket& m_packet;
};

// A PES packet with the optional header: private stream 1, audio and video streams.
class CPesPacket : public CSyntaxElement
{
public:
    CPesPacket();
    ~CPesPacket() override;

    // A wrong start-code prefix leaves the fields as they were. Lengths that contradict each
    // other never reach outside the buffer: too short a header data length means no stuffing,
    // too short a packet length means no payload, and a payload is cut at the buffer's end.
    void Read(CBufferReader& reader) override;
    // Writes the fields as they are: the application keeps the lengths consistent.
    void Write(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;

    // True when the flags announce any optional field.
    bool HasOptionalFields() const;

    void SetPayloadReader(const CBufferReader& reader) { m_payloadReader = reader; }
    void GetPayload(const std::uint8_t*& pPayload, std::uint16_t& cbPayload,
                    CBufferReader& payloadReader) const;

    void SetFromDescription(CPesDescription& description);
    void GetDescription(CPesDescription& description) const;

    std::uint8_t m_byStreamId = 0;
    std::uint16_t m_nPacketLength = 3;
    std::uint8_t m_byScramblingControl = 0;
    bool m_bPriority = false;
    bool m_bDataAlignment = false;
    bool m_bCopyright = false;
    bool m_bOriginalOrCopy = false;
    std::uint8_t m_byPtsDtsFlags = 0;
    bool m_bEscrFlag = false;
    bool m_bEsRateFlag = false;
    bool m_bTrickModeFlag = false;
    bool m_bAdditionalCopyInfoFlag = false;
    bool m_bCrcFlag = false;
    bool m_bExtensionFlag = false;
    std::uint8_t m_byHeaderDataLength = 0;
    std::unique_ptr<CPesOptionalFields> m_pOptionalFields;
    // Count of 0xFF stuffing bytes after the optional fields.
    std::uint16_t m_cbStuffing = 0;
    // Points into the read buffer, or into the caller's memory when writing; not owned.
    const std::uint8_t* m_pPayload = nullptr;
    std::uint16_t m_cbPayload = 0;
    CBufferReader m_payloadReader;

private:
    void ReadFlags(CBufferReader& reader);
    void WriteFlags(CBufferWriter& writer) const;
    void ReadStuffingAndPayload(CBufferReader& reader, std::uint8_t cbOptionalFields);
};

// A padding packet (stream 0xBE): its length in 0xFF bytes.
class CPesPaddingPacket : public CSyntaxElement
{
public:
    // A packet of s bytes in all has the length (s - 3) mod 2^16.
    explicit CPesPaddingPacket(std::uint16_t cbSize = 0)
        : m_nPacketLength(static_cast<std::uint16_t>(cbSize - 3))
    {
    }

    void Read(CBufferReader& reader) override;
    void Write(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;

    std::uint16_t m_nPacketLength;
};

// A packet without the optional header; it keeps its own copy of its data bytes.
class CPesDataPacket : public CSyntaxElement
{
public:
    // Throws CReaderException when fewer data bytes remain than the length announces.
    void Read(CBufferReader& reader) override;
    void Write(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;

    std::uint8_t m_byStreamId = 0;
    std::uint16_t m_nPacketLength = 0;
    std::vector<std::uint8_t> m_vecData;
};

// Makes the PES elements; install a derived factory to parse into derived classes.
class CPesFactory
{
public:
    virtual ~CPesFactory() = default;

    // Null for stream ids that carry no PES packet this library knows (0xBC, 0xF3, 0xFF...).
    virtual std::unique_ptr<CSyntaxElement> CreatePesPacket(std::uint8_t byStreamId);
    virtual std::unique_ptr<CPesOptionalFields> CreateOptionalFields(const CPesPacket& packet);
};
