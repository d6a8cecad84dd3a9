#pragma once

#include "c3stream/syntax.h"

#include <cstdint>

// Bodies of MPEG video extensions (the bytes after extension_start_code), as ISO/IEC 13818-2
// lays them out. Field names follow the standard's.

// extension_start_code_identifier values.
inline constexpr std::uint8_t kSequenceExtensionId = 1;
inline constexpr std::uint8_t kSequenceDisplayExtensionId = 2;
inline constexpr std::uint8_t kQuantMatrixExtensionId = 3;
inline constexpr std::uint8_t kCopyrightExtensionId = 4;
inline constexpr std::uint8_t kSequenceScalableExtensionId = 5;
inline constexpr std::uint8_t kPictureDisplayExtensionId = 7;
inline constexpr std::uint8_t kPictureCodingExtensionId = 8;
inline constexpr std::uint8_t kPictureSpatialScalableExtensionId = 9;
inline constexpr std::uint8_t kPictureTemporalScalableExtensionId = 10;

// A body starts with its 4-bit identifier and ends on a byte boundary: reading aligns, and
// writing pads with zero bits. A body read over another identifier stops after it.
class CExtensionBody : public CSyntaxElement
{
public:
    void Read(CBufferReader& reader) override;
    void Write(CBufferWriter& writer) override;

    virtual std::uint8_t Identifier() const = 0;

protected:
    // The fields after the identifier. Marker bits are skipped on reading and written as 1.
    virtual void ReadFields(CBufferReader& reader) = 0;
    virtual void WriteFields(CBufferWriter& writer) const = 0;
};

class CSequenceExtension : public CExtensionBody
{
public:
    bool Accept(IProcessor& processor) override;
    std::uint8_t Identifier() const override { return kSequenceExtensionId; }

    std::uint8_t m_byProfileAndLevel = 0;
    bool m_bProgressiveSequence = false;
    std::uint8_t m_byChromaFormat = 0;
    std::uint8_t m_byHorizontalSizeExtension = 0;
    std::uint8_t m_byVerticalSizeExtension = 0;
    std::uint16_t m_nBitRateExtension = 0;
    std::uint8_t m_byVbvBufferSizeExtension = 0;
    bool m_bLowDelay = false;
    std::uint8_t m_byFrameRateExtensionN = 0;
    std::uint8_t m_byFrameRateExtensionD = 0;

protected:
    void ReadFields(CBufferReader& reader) override;
    void WriteFields(CBufferWriter& writer) const override;
};

class CSequenceDisplayExtension : public CExtensionBody
{
public:
    bool Accept(IProcessor& processor) override;
    std::uint8_t Identifier() const override { return kSequenceDisplayExtensionId; }

    std::uint8_t m_byVideoFormat = 0;
    bool m_bColourDescription = false;
    // Present only with colour_description.
    std::uint8_t m_byColourPrimaries = 0;
    std::uint8_t m_byTransferCharacteristics = 0;
    std::uint8_t m_byMatrixCoefficients = 0;
    std::uint16_t m_nDisplayHorizontalSize = 0;
    std::uint16_t m_nDisplayVerticalSize = 0;

protected:
    void ReadFields(CBufferReader& reader) override;
    void WriteFields(CBufferWriter& writer) const override;
};

class CSequenceScalableExtension : public CExtensionBody
{
public:
    static constexpr std::uint8_t kSpatialScalability = 0;
    static constexpr std::uint8_t kTemporalScalability = 3;

    bool Accept(IProcessor& processor) override;
    std::uint8_t Identifier() const override { return kSequenceScalableExtensionId; }

    std::uint8_t m_byScalableMode = 0;
    std::uint8_t m_byLayerId = 0;
    // Spatial scalability only.
    std::uint16_t m_nLowerLayerPredictionHorizontalSize = 0;
    std::uint16_t m_nLowerLayerPredictionVerticalSize = 0;
    std::uint8_t m_byHorizontalSubsamplingFactorM = 0;
    std::uint8_t m_byHorizontalSubsamplingFactorN = 0;
    std::uint8_t m_byVerticalSubsamplingFactorM = 0;
    std::uint8_t m_byVerticalSubsamplingFactorN = 0;
    // Temporal scalability only; mux_to_progressive_sequence only with picture_mux_enable.
    bool m_bPictureMuxEnable = false;
    bool m_bMuxToProgressiveSequence = false;
    std::uint8_t m_byPictureMuxOrder = 0;
    std::uint8_t m_byPictureMuxFactor = 0;

protected:
    void ReadFields(CBufferReader& reader) override;
    void WriteFields(CBufferWriter& writer) const override;

private:
    void ReadSpatialFields(CBufferReader& reader);
    void WriteSpatialFields(CBufferWriter& writer) const;
    void ReadTemporalFields(CBufferReader& reader);
    void WriteTemporalFields(CBufferWriter& writer) const;
};

class CPictureCodingExtension : public CExtensionBody
{
public:
    bool Accept(IProcessor& processor) override;
    std::uint8_t Identifier() const override { return kPictureCodingExtensionId; }

    // f_code[s][t]: s 0 forward, 1 backward; t 0 horizontal, 1 vertical.
    std::uint8_t m_byFCode[2][2] = {};
    std::uint8_t m_byIntraDcPrecision = 0;
    std::uint8_t m_byPictureStructure = 0;
    bool m_bTopFieldFirst = false;
    bool m_bFramePredFrameDct = false;
    bool m_bConcealmentMotionVectors = false;
    bool m_bQScaleType = false;
    bool m_bIntraVlcFormat = false;
    bool m_bAlternateScan = false;
    bool m_bRepeatFirstField = false;
    bool m_bChroma420Type = false;
    bool m_bProgressiveFrame = false;
    bool m_bCompositeDisplayFlag = false;
    // Present only with composite_display_flag.
    bool m_bVAxis = false;
    std::uint8_t m_byFieldSequence = 0;
    bool m_bSubCarrier = false;
    std::uint8_t m_byBurstAmplitude = 0;
    std::uint8_t m_bySubCarrierPhase = 0;

protected:
    void ReadFields(CBufferReader& reader) override;
    void WriteFields(CBufferWriter& writer) const override;

private:
    void ReadCompositeDisplay(CBufferReader& reader);
    void WriteCompositeDisplay(CBufferWriter& writer) const;
};

// Any other known extension: quant matrix, copyright, picture display and the picture
// scalable extensions. It keeps the identifier and the 4 bits that share its byte, so that it
// writes back the byte it read; the rest of the extension stays in its wrapper's tail.
class CGenericExtension : public CExtensionBody
{
public:
    explicit CGenericExtension(std::uint8_t byIdentifier = 0) : m_byIdentifier(byIdentifier) {}

    // Takes whatever identifier it finds.
    void Read(CBufferReader& reader) override;
    bool Accept(IProcessor& processor) override;
    std::uint8_t Identifier() const override { return m_byIdentifier; }

    std::uint8_t m_byIdentifier;
    // The 4 bits after the identifier.
    std::uint8_t m_byLeadingBits = 0;

protected:
    void ReadFields(CBufferReader& reader) override;
    void WriteFields(CBufferWriter& writer) const override;
};
