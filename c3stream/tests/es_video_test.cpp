#include "c3stream/es_video.h"
#include "c3stream/exceptions.h"
#include "c3stream/processor_interfaces.h"
#include "format_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
Bytes Code(std::uint8_t byCode)
{
    return {0x00, 0x00, 0x01, byCode};
}

// 176x144, 4:3, 25 frames per second, no quantiser matrices.
const Bytes kSequenceHeader =
    Concat({Code(0xB3), {0x0B, 0x00, 0x90, 0x23, 0xFF, 0xFF, 0xE0, 0x18}});
// An I picture, temporal reference 0, vbv_delay 0xFFFF.
const Bytes kIPictureHeader = Concat({Code(0x00), {0x00, 0x0F, 0xFF, 0xF8}});
const Bytes kPictureCodingExtension = Concat({Code(0xB5), {0x8F, 0xFF, 0xF3, 0x41, 0x80}});
const Bytes kSlice1 = Concat({Code(0x01), {0xAA, 0xBB, 0xCC}});
// The zero byte before the next start code is stuffing; it belongs to the slice.
const Bytes kSlice2 = Concat({Code(0x02), {0xDD, 0xEE, 0x00}});
const Bytes kSequenceEnd = Code(0xB7);

template <class TElement> TElement* ChildAs(const CCompositeElement& element, std::size_t i)
{
    return i < element.Children().size() ? dynamic_cast<TElement*>(element.Children()[i].get())
                                         : nullptr;
}

// Reads one element from the buffer, which must outlive it: its tail points there.
template <class TElement> std::unique_ptr<TElement> ReadAlone(const CExactBuffer& buffer)
{
    CBufferReader reader = buffer.Reader();
    auto pElement = std::make_unique<TElement>();
    pElement->Read(reader);
    return pElement;
}

TEST(VideoStream, OnePictureSequenceReadsAsTheDocumentedTreeAndWritesBack)
{
    const Bytes bytes = Concat({kSequenceHeader, kIPictureHeader, kPictureCodingExtension, kSlice1,
                                kSlice2, kSequenceEnd});
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CVideoStream stream;
    stream.Read(reader);

    EXPECT_TRUE(stream.Found());
    EXPECT_FALSE(reader.HasData());
    const CVideoSequenceList& list = *stream.SequenceList();
    ASSERT_EQ(list.Children().size(), 2u);
    const auto* pSequence = ChildAs<CVideoSequence>(list, 0);
    ASSERT_NE(pSequence, nullptr);
    EXPECT_NE(ChildAs<CSequenceEnd>(list, 1), nullptr);
    ASSERT_NE(pSequence->SequenceHeader(), nullptr);
    EXPECT_EQ(pSequence->SequenceHeader()->m_nHorizontalSize, 176);
    EXPECT_EQ(pSequence->SequenceHeader()->m_byFrameRateCode, 3);
    ASSERT_EQ(pSequence->Children().size(), 1u);

    const auto* pPicture = ChildAs<CPicture>(*pSequence, 0);
    ASSERT_NE(pPicture, nullptr);
    ASSERT_NE(pPicture->PictureHeader(), nullptr);
    EXPECT_EQ(pPicture->PictureHeader()->m_byPictureCodingType, kPictureCodingI);
    ASSERT_EQ(pPicture->Children().size(), 1u);
    const auto* pExtension = ChildAs<CExtension>(*pPicture, 0);
    ASSERT_NE(pExtension, nullptr);
    EXPECT_NE(dynamic_cast<CPictureCodingExtension*>(pExtension->Body()), nullptr);
    EXPECT_EQ(pPicture->m_nSliceCount, 2u);
    EXPECT_EQ(pPicture->m_cbSlices, kSlice1.size() + kSlice2.size());
    EXPECT_EQ(pPicture->m_pSlices, buffer.Data() + bytes.size() - 18);

    EXPECT_EQ(WriteToBytes(stream, bytes.size()), bytes);
}

TEST(VideoStream, UserDataWritesBackAsItsCodeAlone)
{
    const Bytes bytes = Concat(
        {kSequenceHeader, Code(0xB2), {'a', 'b', 'c'}, kIPictureHeader, kSlice1, kSequenceEnd});
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CVideoStream stream;
    stream.Read(reader);

    const auto* pSequence = ChildAs<CVideoSequence>(*stream.SequenceList(), 0);
    ASSERT_NE(pSequence, nullptr);
    EXPECT_NE(ChildAs<CUserData>(*pSequence, 0), nullptr);
    EXPECT_EQ(WriteToBytes(stream, bytes.size()),
              Concat({kSequenceHeader, Code(0xB2), kIPictureHeader, kSlice1, kSequenceEnd}));
}

TEST(VideoStream, GroupsAndSequencesEndWhereTheNextOneStarts)
{
    const Bytes gop = Concat({Code(0xB8), {0x04, 0x28, 0x62, 0x40}});
    const Bytes picture = Concat({kIPictureHeader, kSlice1});
    const Bytes bytes = Concat({kSequenceHeader, gop, picture, picture, gop, picture,
                                kSequenceHeader, picture, kSequenceEnd, kSequenceHeader});
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CVideoStream stream;
    stream.Read(reader);

    const CVideoSequenceList& list = *stream.SequenceList();
    ASSERT_EQ(list.Children().size(), 3u);
    const auto* pFirst = ChildAs<CVideoSequence>(list, 0);
    ASSERT_NE(pFirst, nullptr);
    ASSERT_EQ(pFirst->Children().size(), 2u);
    const auto* pGop = ChildAs<CGroupOfPictures>(*pFirst, 0);
    ASSERT_NE(pGop, nullptr);
    EXPECT_EQ(pGop->Children().size(), 2u);
    EXPECT_EQ(pGop->GopHeader()->m_byHours, 1);
    EXPECT_EQ(pGop->GopHeader()->m_byPictures, 4);
    EXPECT_TRUE(pGop->GopHeader()->m_bClosedGop);
    EXPECT_EQ(ChildAs<CVideoSequence>(list, 1)->Children().size(), 1u);
    // Nothing is read after the sequence end.
    EXPECT_EQ(reader.Remaining(), kSequenceHeader.size());

    EXPECT_EQ(WriteToBytes(stream, bytes.size()),
              Bytes(bytes.begin(), bytes.end() - kSequenceHeader.size()));
}

TEST(VideoStream, LastSliceWithoutFollowingStartCodeThrows)
{
    const CExactBuffer buffer(Concat({kSequenceHeader, kIPictureHeader, kSlice1}));
    CBufferReader reader = buffer.Reader();
    CVideoStream stream;
    EXPECT_THROW(stream.Read(reader), CReaderException);
    EXPECT_FALSE(reader.HasData());
}

TEST(VideoStream, NoStartCodeLeavesTheStreamEmpty)
{
    const CExactBuffer buffer(Bytes{0x00, 0x00, 0x02, 0x00, 0x01, 0x47});
    CBufferReader reader = buffer.Reader();
    CVideoStream stream;
    stream.Read(reader);
    EXPECT_FALSE(stream.Found());
    EXPECT_TRUE(stream.SequenceList()->Children().empty());
    EXPECT_TRUE(WriteToBytes(stream, 16).empty());
}

TEST(PictureHeader, MotionVectorCodesOfPAndBPictures)
{
    CPictureHeader p;
    p.m_nTemporalReference = 5;
    p.m_byPictureCodingType = kPictureCodingP;
    p.m_nVbvDelay = 0x1234;
    EXPECT_EQ(WriteToBytes(p, 16), Concat({Code(0x00), {0x01, 0x50, 0x91, 0xA3, 0x80}}));

    CPictureHeader b = p;
    b.m_byPictureCodingType = kPictureCodingB;
    EXPECT_EQ(WriteToBytes(b, 16), Concat({Code(0x00), {0x01, 0x58, 0x91, 0xA3, 0xB8}}));

    // MPEG-1 carries real f_codes, here forward_f_code 1: they are kept.
    const CExactBuffer mpeg1(Concat({Code(0x00), {0x01, 0x50, 0x91, 0xA0, 0x80}}));
    auto pRead = ReadAlone<CPictureHeader>(mpeg1);
    EXPECT_EQ(pRead->m_byForwardFCode, 1);
    EXPECT_EQ(WriteToBytes(*pRead, 16), Bytes(mpeg1.Data(), mpeg1.Data() + mpeg1.Size()));
}

TEST(PictureHeader, OtherStartCodeStopsTheHeaderAndBecomesTail)
{
    const CExactBuffer buffer(Concat({kSequenceHeader, kSequenceEnd}));
    auto pHeader = ReadAlone<CPictureHeader>(buffer);
    EXPECT_EQ(pHeader->m_byPictureCodingType, 0);
    EXPECT_EQ(pHeader->m_cbTail, kSequenceHeader.size() - 4);
}

TEST(SequenceHeader, QuantiserMatricesRoundTrip)
{
    CSequenceHeader header;
    header.m_nHorizontalSize = 720;
    header.m_nVerticalSize = 576;
    header.m_nBitRate = 0x2BF20;
    header.m_bLoadIntraQuantiserMatrix = true;
    header.m_bLoadNonIntraQuantiserMatrix = true;
    for (int i = 0; i < 64; ++i)
    {
        header.m_byIntraQuantiserMatrix[i] = static_cast<std::uint8_t>(8 + i);
        header.m_byNonIntraQuantiserMatrix[i] = static_cast<std::uint8_t>(200 - i);
    }
    const Bytes bytes = WriteToBytes(header, 200);
    ASSERT_EQ(bytes.size(), 4u + 8 + 128);
    const CExactBuffer buffer(bytes);
    auto pRead = ReadAlone<CSequenceHeader>(buffer);
    EXPECT_EQ(pRead->m_nBitRate, 0x2BF20u);
    EXPECT_EQ(pRead->m_byIntraQuantiserMatrix[63], 71);
    EXPECT_EQ(pRead->m_byNonIntraQuantiserMatrix[0], 200);
    EXPECT_EQ(WriteToBytes(*pRead, 200), bytes);
}

TEST(Extension, BodiesRoundTripTheirFields)
{
    const Bytes sequenceBytes = Concat({Code(0xB5), {0x14, 0x8A, 0x00, 0x01, 0x00, 0x1F}});
    const CExactBuffer sequenceBuffer(sequenceBytes);
    auto pSequence = ReadAlone<CExtension>(sequenceBuffer);
    const auto* pSequenceBody = dynamic_cast<CSequenceExtension*>(pSequence->Body());
    ASSERT_NE(pSequenceBody, nullptr);
    EXPECT_EQ(pSequenceBody->m_byFrameRateExtensionD, 31);
    EXPECT_EQ(pSequenceBody->m_byProfileAndLevel, 0x48);
    EXPECT_EQ(WriteToBytes(*pSequence, 16), sequenceBytes);

    // Display extension without colour description: 37 bits, then 3 zero bits, then the tail.
    const Bytes displayBytes = Concat({Code(0xB5), {0x2A, 0x0B, 0x42, 0x12, 0x00}, {0x77}});
    const CExactBuffer displayBuffer(displayBytes);
    auto pDisplay = ReadAlone<CExtension>(displayBuffer);
    const auto* pDisplayBody = dynamic_cast<CSequenceDisplayExtension*>(pDisplay->Body());
    ASSERT_NE(pDisplayBody, nullptr);
    EXPECT_EQ(pDisplayBody->m_nDisplayHorizontalSize, 720);
    EXPECT_EQ(pDisplayBody->m_nDisplayVerticalSize, 576);
    EXPECT_EQ(pDisplay->m_cbTail, 1u);
    EXPECT_EQ(WriteToBytes(*pDisplay, 16), displayBytes);

    auto pScalableBody = std::make_unique<CSequenceScalableExtension>();
    pScalableBody->m_byScalableMode = CSequenceScalableExtension::kTemporalScalability;
    pScalableBody->m_bPictureMuxEnable = true;
    pScalableBody->m_bMuxToProgressiveSequence = true;
    pScalableBody->m_byPictureMuxFactor = 5;
    CExtension built;
    built.SetBody(std::move(pScalableBody));
    const CExactBuffer scalableBuffer(WriteToBytes(built, 16));
    auto pScalable = ReadAlone<CExtension>(scalableBuffer);
    const auto* pReadBody = dynamic_cast<CSequenceScalableExtension*>(pScalable->Body());
    ASSERT_NE(pReadBody, nullptr);
    EXPECT_TRUE(pReadBody->m_bMuxToProgressiveSequence);
    EXPECT_EQ(pReadBody->m_byPictureMuxFactor, 5);
}

TEST(Extension, QuantMatrixGetsAGenericBodyAndIdentifierSixNone)
{
    // The generic body keeps the 4 bits after its identifier, so the byte comes back whole.
    const Bytes quantMatrixBytes = Concat({Code(0xB5), {0x3B, 0x12, 0x34}});
    const CExactBuffer quantMatrixBuffer(quantMatrixBytes);
    auto pQuantMatrix = ReadAlone<CExtension>(quantMatrixBuffer);
    const auto* pGeneric = dynamic_cast<CGenericExtension*>(pQuantMatrix->Body());
    ASSERT_NE(pGeneric, nullptr);
    EXPECT_EQ(pGeneric->m_byIdentifier, 3);
    EXPECT_EQ(pGeneric->m_byLeadingBits, 0xB);
    EXPECT_EQ(pQuantMatrix->m_cbTail, 2u);
    EXPECT_EQ(WriteToBytes(*pQuantMatrix, 16), quantMatrixBytes);

    const Bytes unknownBytes = Concat({Code(0xB5), {0x6B, 0x12}});
    const CExactBuffer unknownBuffer(unknownBytes);
    auto pUnknown = ReadAlone<CExtension>(unknownBuffer);
    EXPECT_EQ(pUnknown->Body(), nullptr);
    EXPECT_EQ(pUnknown->m_cbTail, 2u);
    EXPECT_EQ(WriteToBytes(*pUnknown, 16), unknownBytes);
}

// Counts picture headers and records the order of the walk.
class CVideoRecorder : public CWalkRecorder
{
public:
    bool ProcessVideoStream(CVideoStream&) override { return Note('V'); }
    bool ProcessSequenceHeader(CSequenceHeader&) override { return Note('S'); }
    bool ProcessPictureHeader(CPictureHeader&) override { return Note('P'); }
    bool ProcessExtension(CExtension&) override { return Note('X'); }
    bool ProcessPictureCodingExtension(CPictureCodingExtension&) override { return Note('C'); }
    bool ProcessSequenceEnd(CSequenceEnd&) override { return Note('E'); }
};

TEST(VideoStream, WalkHandsOverTheStreamFirstAndStopsOnFalse)
{
    const CExactBuffer buffer(
        Concat({kSequenceHeader, kIPictureHeader, kPictureCodingExtension, kSlice1, kSequenceEnd}));
    CBufferReader reader = buffer.Reader();
    CVideoStream stream;
    stream.Read(reader);

    CVideoRecorder all;
    EXPECT_TRUE(stream.Accept(all));
    EXPECT_EQ(all.m_strOrder, "VSPXCE");

    CVideoRecorder stopping;
    stopping.m_nStopAfter = 4;
    EXPECT_FALSE(stream.Accept(stopping));
    EXPECT_EQ(stopping.m_strOrder, "VSPX");
}
} // namespace
