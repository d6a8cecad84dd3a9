#pragma once

#include "c3stream/es_video_extensions.h"
#include "c3stream/syntax.h"

#include <cstdint>
#include <memory>

// The elements of an MPEG video elementary stream that start with a start code, as
// ISO/IEC 13818-2 lays them out. Field names follow the standard's.

inline constexpr std::uint32_t kPictureStartCode = 0x00000100;
inline constexpr std::uint32_t kFirstSliceStartCode = 0x00000101;
inline constexpr std::uint32_t kLastSliceStartCode = 0x000001AF;
inline constexpr std::uint32_t kUserDataStartCode = 0x000001B2;
inline constexpr std::uint32_t kSequenceHeaderCode = 0x000001B3;
inline constexpr std::uint32_t kExtensionStartCode = 0x000001B5;
inline constexpr std::uint32_t kSequenceEndCode = 0x000001B7;
inline constexpr std::uint32_t kGroupStartCode = 0x000001B8;

// picture_coding_type values.
inline constexpr std::uint8_t kPictureCodingI = 1;
inline constexpr std::uint8_t kPictureCodingP = 2;
inline constexpr std::uint8_t kPictureCodingB = 3;

inline bool IsSliceStartCode(std::uint32_t nCode)
{
    return nCode >= kFirstSliceStartCode && nCode <= kLastSliceStartCode;
}

// A leaf that opens with a start code. The bytes after its parsed header, up to the next start
// code, are its tail: kept as a pointer into the read buffer and copied back unchanged, so the
// buffer must outlive every Write.
class CStartCodeElement : public CSyntaxElement
{
public:
    // Reads the header, then takes the tail; without a further start code the tail runs to the
    // end of the buffer.
    void Read(CBufferReader& reader) override;
    // Writes the header, then copies the tail.
    void Write(CBufferWriter& writer) override;

    // A header over another start code stops after the code; its fields keep their values.
    virtual void ReadHeader(CBufferReader& reader) = 0;
    // Writes the element's own start code and fields.
    virtual void WriteHeader(CBufferWriter& writer) = 0;

    const std::uint8_t* m_pStart = nullptr;
    const std::uint8_t* m_pTail = nullptr;
    std::uint32_t m_cbTail = 0;
};

class CSequenceEnd : public CStartCodeElement
{
public:
    void ReadHeader(CBufferReader& reader) override;
    void WriteHeader(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;
};

// User data is passed over, not kept: it writes back as its start code alone.
class CUserData : public CStartCodeElement
{
public:
    void ReadHeader(CBufferReader& reader) override;
    void WriteHeader(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;
};

class CSequenceHeader : public CStartCodeElement
{
public:
    void ReadHeader(CBufferReader& reader) override;
    void WriteHeader(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;

    std::uint16_t m_nHorizontalSize = 0;
    std::uint16_t m_nVerticalSize = 0;
    std::uint8_t m_byAspectRatioInformation = 0;
    std::uint8_t m_byFrameRateCode = 0;
    std::uint32_t m_nBitRate = 0;
    std::uint16_t m_nVbvBufferSize = 0;
    bool m_bConstrainedParameters = false;
    bool m_bLoadIntraQuantiserMatrix = false;
    std::uint8_t m_byIntraQuantiserMatrix[64] = {};
    bool m_bLoadNonIntraQuantiserMatrix = false;
    std::uint8_t m_byNonIntraQuantiserMatrix[64] = {};
};

class CGopHeader : public CStartCodeElement
{
public:
    void ReadHeader(CBufferReader& reader) override;
    void WriteHeader(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;

    bool m_bDropFrame = false;
    std::uint8_t m_byHours = 0;
    std::uint8_t m_byMinutes = 0;
    std::uint8_t m_bySeconds = 0;
    std::uint8_t m_byPictures = 0;
    bool m_bClosedGop = false;
    bool m_bBrokenLink = false;
};

class CPictureHeader : public CStartCodeElement
{
public:
    void ReadHeader(CBufferReader& reader) override;
    void WriteHeader(CBufferWriter& writer) override;
    bool Accept(IProcessor& processor) override;

    std::uint16_t m_nTemporalReference = 0;
    std::uint8_t m_byPictureCodingType = 0;
    std::uint16_t m_nVbvDelay = 0;
    // The motion vector codes of P and B pictures. MPEG-2 fixes them at '0111'; MPEG-1 streams
    // carry real values, so they are kept as read, and a header built by hand writes '0111'.
    bool m_bFullPelForwardVector = false;
    std::uint8_t m_byForwardFCode = 7;
    bool m_bFullPelBackwardVector = false;
    std::uint8_t m_byBackwardFCode = 7;
    bool m_bExtraBitPicture = false;
};

// An extension start code and the body its identifier selects; unknown identifiers get no body
// and leave everything after the code in the tail.
class CExtension : public CStartCodeElement
{
public:
    CExtension();
    ~CExtension() override;

    void ReadHeader(CBufferReader& reader) override;
    void WriteHeader(CBufferWriter& writer) override;
    // Hands over the extension, then walks its body.
    bool Accept(IProcessor& processor) override;

    CExtensionBody* Body() const { return m_pBody.get(); }
    void SetBody(std::unique_ptr<CExtensionBody> pBody);

private:
    std::unique_ptr<CExtensionBody> m_pBody;
};
