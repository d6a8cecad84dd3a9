#include "c3stream/es_video_extensions.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/field_io.h"
#include "c3stream/processor_interfaces.h"

// CExtensionBody

void CExtensionBody::Read(CBufferReader& reader)
{
    if (reader.ReadBits(4) != Identifier())
        return;
    ReadFields(reader);
    reader.AlignRead();
}

void CExtensionBody::Write(CBufferWriter& writer)
{
    writer.WriteBits(Identifier(), 4);
    WriteFields(writer);
    writer.AlignWrite();
}

// CSequenceExtension: 48 bits with the identifier, so it starts and ends byte-aligned.

void CSequenceExtension::ReadFields(CBufferReader& reader)
{
    m_byProfileAndLevel = ReadField<std::uint8_t>(reader, 8);
    m_bProgressiveSequence = ReadFlag(reader);
    m_byChromaFormat = ReadField<std::uint8_t>(reader, 2);
    m_byHorizontalSizeExtension = ReadField<std::uint8_t>(reader, 2);
    m_byVerticalSizeExtension = ReadField<std::uint8_t>(reader, 2);
    m_nBitRateExtension = ReadField<std::uint16_t>(reader, 12);
    SkipMarkerBit(reader);
    m_byVbvBufferSizeExtension = ReadField<std::uint8_t>(reader, 8);
    m_bLowDelay = ReadFlag(reader);
    m_byFrameRateExtensionN = ReadField<std::uint8_t>(reader, 2);
    m_byFrameRateExtensionD = ReadField<std::uint8_t>(reader, 5);
}

void CSequenceExtension::WriteFields(CBufferWriter& writer) const
{
    writer.WriteBits(m_byProfileAndLevel, 8);
    writer.WriteBit(m_bProgressiveSequence);
    writer.WriteBits(m_byChromaFormat, 2);
    writer.WriteBits(m_byHorizontalSizeExtension, 2);
    writer.WriteBits(m_byVerticalSizeExtension, 2);
    writer.WriteBits(m_nBitRateExtension, 12);
    WriteMarkerBit(writer);
    writer.WriteBits(m_byVbvBufferSizeExtension, 8);
    writer.WriteBit(m_bLowDelay);
    writer.WriteBits(m_byFrameRateExtensionN, 2);
    writer.WriteBits(m_byFrameRateExtensionD, 5);
}

bool CSequenceExtension::Accept(IProcessor& processor)
{
    return processor.ProcessSequenceExtension(*this);
}

// CSequenceDisplayExtension

void CSequenceDisplayExtension::ReadFields(CBufferReader& reader)
{
    m_byVideoFormat = ReadField<std::uint8_t>(reader, 3);
    m_bColourDescription = ReadFlag(reader);
    if (m_bColourDescription)
    {
        m_byColourPrimaries = ReadField<std::uint8_t>(reader, 8);
        m_byTransferCharacteristics = ReadField<std::uint8_t>(reader, 8);
        m_byMatrixCoefficients = ReadField<std::uint8_t>(reader, 8);
    }
    m_nDisplayHorizontalSize = ReadField<std::uint16_t>(reader, 14);
    SkipMarkerBit(reader);
    m_nDisplayVerticalSize = ReadField<std::uint16_t>(reader, 14);
}

void CSequenceDisplayExtension::WriteFields(CBufferWriter& writer) const
{
    writer.WriteBits(m_byVideoFormat, 3);
    writer.WriteBit(m_bColourDescription);
    if (m_bColourDescription)
    {
        writer.WriteBits(m_byColourPrimaries, 8);
        writer.WriteBits(m_byTransferCharacteristics, 8);
        writer.WriteBits(m_byMatrixCoefficients, 8);
    }
    writer.WriteBits(m_nDisplayHorizontalSize, 14);
    WriteMarkerBit(writer);
    writer.WriteBits(m_nDisplayVerticalSize, 14);
}

bool CSequenceDisplayExtension::Accept(IProcessor& processor)
{
    return processor.ProcessSequenceDisplayExtension(*this);
}

// CSequenceScalableExtension

void CSequenceScalableExtension::ReadFields(CBufferReader& reader)
{
    m_byScalableMode = ReadField<std::uint8_t>(reader, 2);
    m_byLayerId = ReadField<std::uint8_t>(reader, 4);
    if (m_byScalableMode == kSpatialScalability)
        ReadSpatialFields(reader);
    else if (m_byScalableMode == kTemporalScalability)
        ReadTemporalFields(reader);
}

void CSequenceScalableExtension::WriteFields(CBufferWriter& writer) const
{
    writer.WriteBits(m_byScalableMode, 2);
    writer.WriteBits(m_byLayerId, 4);
    if (m_byScalableMode == kSpatialScalability)
        WriteSpatialFields(writer);
    else if (m_byScalableMode == kTemporalScalability)
        WriteTemporalFields(writer);
}

void CSequenceScalableExtension::ReadSpatialFields(CBufferReader& reader)
{
    m_nLowerLayerPredictionHorizontalSize = ReadField<std::uint16_t>(reader, 14);
    SkipMarkerBit(reader);
    m_nLowerLayerPredictionVerticalSize = ReadField<std::uint16_t>(reader, 14);
    m_byHorizontalSubsamplingFactorM = ReadField<std::uint8_t>(reader, 5);
    m_byHorizontalSubsamplingFactorN = ReadField<std::uint8_t>(reader, 5);
    m_byVerticalSubsamplingFactorM = ReadField<std::uint8_t>(reader, 5);
    m_byVerticalSubsamplingFactorN = ReadField<std::uint8_t>(reader, 5);
}

void CSequenceScalableExtension::WriteSpatialFields(CBufferWriter& writer) const
{
    writer.WriteBits(m_nLowerLayerPredictionHorizontalSize, 14);
    WriteMarkerBit(writer);
    writer.WriteBits(m_nLowerLayerPredictionVerticalSize, 14);
    writer.WriteBits(m_byHorizontalSubsamplingFactorM, 5);
    writer.WriteBits(m_byHorizontalSubsamplingFactorN, 5);
    writer.WriteBits(m_byVerticalSubsamplingFactorM, 5);
    writer.WriteBits(m_byVerticalSubsamplingFactorN, 5);
}

void CSequenceScalableExtension::ReadTemporalFields(CBufferReader& reader)
{
    m_bPictureMuxEnable = ReadFlag(reader);
    if (m_bPictureMuxEnable)
        m_bMuxToProgressiveSequence = ReadFlag(reader);
    m_byPictureMuxOrder = ReadField<std::uint8_t>(reader, 3);
    m_byPictureMuxFactor = ReadField<std::uint8_t>(reader, 3);
}

void CSequenceScalableExtension::WriteTemporalFields(CBufferWriter& writer) const
{
    writer.WriteBit(m_bPictureMuxEnable);
    if (m_bPictureMuxEnable)
        writer.WriteBit(m_bMuxToProgressiveSequence);
    writer.WriteBits(m_byPictureMuxOrder, 3);
    writer.WriteBits(m_byPictureMuxFactor, 3);
}

bool CSequenceScalableExtension::Accept(IProcessor& processor)
{
    return processor.ProcessSequenceScalableExtension(*this);
}

// CPictureCodingExtension

void CPictureCodingExtension::ReadFields(CBufferReader& reader)
{
    for (auto& byFCodes : m_byFCode)
    {
        for (std::uint8_t& byFCode : byFCodes)
            byFCode = ReadField<std::uint8_t>(reader, 4);
    }
    m_byIntraDcPrecision = ReadField<std::uint8_t>(reader, 2);
    m_byPictureStructure = ReadField<std::uint8_t>(reader, 2);
    for (bool* pFlag : {&m_bTopFieldFirst, &m_bFramePredFrameDct, &m_bConcealmentMotionVectors,
                        &m_bQScaleType, &m_bIntraVlcFormat, &m_bAlternateScan, &m_bRepeatFirstField,
                        &m_bChroma420Type, &m_bProgressiveFrame, &m_bCompositeDisplayFlag})
        *pFlag = ReadFlag(reader);
    if (m_bCompositeDisplayFlag)
        ReadCompositeDisplay(reader);
}

void CPictureCodingExtension::WriteFields(CBufferWriter& writer) const
{
    for (const auto& byFCodes : m_byFCode)
    {
        for (std::uint8_t byFCode : byFCodes)
            writer.WriteBits(byFCode, 4);
    }
    writer.WriteBits(m_byIntraDcPrecision, 2);
    writer.WriteBits(m_byPictureStructure, 2);
    for (bool bFlag : {m_bTopFieldFirst, m_bFramePredFrameDct, m_bConcealmentMotionVectors,
                       m_bQScaleType, m_bIntraVlcFormat, m_bAlternateScan, m_bRepeatFirstField,
                       m_bChroma420Type, m_bProgressiveFrame, m_bCompositeDisplayFlag})
        writer.WriteBit(bFlag);
    if (m_bCompositeDisplayFlag)
        WriteCompositeDisplay(writer);
}

void CPictureCodingExtension::ReadCompositeDisplay(CBufferReader& reader)
{
    m_bVAxis = ReadFlag(reader);
    m_byFieldSequence = ReadField<std::uint8_t>(reader, 3);
    m_bSubCarrier = ReadFlag(reader);
    m_byBurstAmplitude = ReadField<std::uint8_t>(reader, 7);
    m_bySubCarrierPhase = ReadField<std::uint8_t>(reader, 8);
}

void CPictureCodingExtension::WriteCompositeDisplay(CBufferWriter& writer) const
{
    writer.WriteBit(m_bVAxis);
    writer.WriteBits(m_byFieldSequence, 3);
    writer.WriteBit(m_bSubCarrier);
    writer.WriteBits(m_byBurstAmplitude, 7);
    writer.WriteBits(m_bySubCarrierPhase, 8);
}

bool CPictureCodingExtension::Accept(IProcessor& processor)
{
    return processor.ProcessPictureCodingExtension(*this);
}

// CGenericExtension

void CGenericExtension::Read(CBufferReader& reader)
{
    m_byIdentifier = ReadField<std::uint8_t>(reader, 4);
    ReadFields(reader);
}

void CGenericExtension::ReadFields(CBufferReader& reader)
{
    m_byLeadingBits = ReadField<std::uint8_t>(reader, 4);
}

void CGenericExtension::WriteFields(CBufferWriter& writer) const
{
    writer.WriteBits(m_byLeadingBits, 4);
}

bool CGenericExtension::Accept(IProcessor& processor)
{
    return processor.ProcessGenericExtension(*this);
}
