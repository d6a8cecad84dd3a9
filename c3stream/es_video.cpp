#include "c3stream/es_video.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/exceptions.h"
#include "c3stream/field_io.h"
#include "c3stream/processor_interfaces.h"
#include "c3stream/singleton_manager.h"

#include <initializer_list>

namespace
{
// Stands for a start code cut short by the end of the buffer; no element answers to it, so
// the element being read ends quietly.
constexpr std::uint32_t kTruncatedCode = 0xFFFFFFFF;

CVideoFactory* Factory()
{
    return CSingletonManager::Instance().VideoFactory();
}

// The start code at the position, without moving.
std::uint32_t PeekStartCode(CBufferReader& reader)
{
    return reader.Remaining() >= 4 ? reader.PeekBytes(4) : kTruncatedCode;
}

std::unique_ptr<CSyntaxElement> CreateHeaderAt(CBufferReader& reader)
{
    return Factory() ? Factory()->CreateHeaderByStartCode(PeekStartCode(reader)) : nullptr;
}

// The child a start code opens, unless the code ends the composite.
std::unique_ptr<CSyntaxElement> CreateChildUnless(std::uint32_t nCode,
                                                  std::initializer_list<std::uint32_t> endCodes)
{
    for (std::uint32_t nEndCode : endCodes)
    {
        if (nCode == nEndCode)
            return nullptr;
    }
    return Factory() ? Factory()->CreateByStartCode(nCode) : nullptr;
}

template <class THeader> THeader* HeaderAs(const CCompositeElement& element)
{
    return dynamic_cast<THeader*>(element.Header());
}
} // namespace

// CVideoSequenceList

std::unique_ptr<CSyntaxElement> CVideoSequenceList::CreateHeader(CBufferReader& reader)
{
    reader.FindStartCode();
    return nullptr;
}

std::unique_ptr<CSyntaxElement> CVideoSequenceList::CreateNext(CBufferReader& reader)
{
    if (m_bEnded || !Factory())
        return nullptr;
    const std::uint32_t nCode = PeekStartCode(reader);
    if (nCode == kSequenceEndCode)
    {
        m_bEnded = true;
        return Factory()->CreateByStartCode(nCode);
    }
    if (nCode == kSequenceHeaderCode)
        return Factory()->CreateSequence();
    return nullptr;
}

// CVideoSequence

CSequenceHeader* CVideoSequence::SequenceHeader() const
{
    return HeaderAs<CSequenceHeader>(*this);
}

std::unique_ptr<CSyntaxElement> CVideoSequence::CreateHeader(CBufferReader& reader)
{
    return CreateHeaderAt(reader);
}

std::unique_ptr<CSyntaxElement> CVideoSequence::CreateNext(CBufferReader& reader)
{
    return CreateChildUnless(PeekStartCode(reader), {kSequenceEndCode, kSequenceHeaderCode});
}

// CGroupOfPictures

CGopHeader* CGroupOfPictures::GopHeader() const
{
    return HeaderAs<CGopHeader>(*this);
}

std::unique_ptr<CSyntaxElement> CGroupOfPictures::CreateHeader(CBufferReader& reader)
{
    return CreateHeaderAt(reader);
}

std::unique_ptr<CSyntaxElement> CGroupOfPictures::CreateNext(CBufferReader& reader)
{
    return CreateChildUnless(PeekStartCode(reader),
                             {kSequenceEndCode, kGroupStartCode, kSequenceHeaderCode});
}

// CPicture

CPictureHeader* CPicture::PictureHeader() const
{
    return HeaderAs<CPictureHeader>(*this);
}

std::unique_ptr<CSyntaxElement> CPicture::CreateHeader(CBufferReader& reader)
{
    return CreateHeaderAt(reader);
}

std::unique_ptr<CSyntaxElement> CPicture::CreateNext(CBufferReader& reader)
{
    ReadSlices(reader);
    return CreateChildUnless(PeekStartCode(reader), {kSequenceEndCode, kPictureStartCode,
                                                     kSequenceHeaderCode, kGroupStartCode});
}

void CPicture::ReadSlices(CBufferReader& reader)
{
    while (IsSliceStartCode(PeekStartCode(reader)))
    {
        if (m_nSliceCount == 0)
            m_pSlices = reader.Position();
        reader.ReadBytes(4);
        ++m_nSliceCount;
        const std::ptrdiff_t cbSliceData = reader.FindStartCode();
        if (cbSliceData < 0)
            throw CReaderException();
        m_cbSlices += static_cast<std::uint32_t>(cbSliceData) + 4;
    }
}

void CPicture::Write(CBufferWriter& writer)
{
    CCompositeElement::Write(writer);
    WriteRawBytes(writer, m_pSlices, m_cbSlices);
}

// CVideoStream

CVideoStream::CVideoStream()
{
    if (Factory())
        m_pSequenceList = Factory()->CreateSequenceList();
}

CVideoStream::~CVideoStream() = default;

void CVideoStream::Read(CBufferReader& reader)
{
    if (reader.FindStartCode() < 0)
    {
        m_bFound = false;
        return;
    }
    if (m_pSequenceList)
        m_pSequenceList->Read(reader);
    // A stream read to its end is left there byte-aligned.
    if (!reader.HasData())
        reader.Seek(0, CBuffer::FromEnd);
    m_bFound = true;
}

void CVideoStream::Write(CBufferWriter& writer)
{
    if (m_pSequenceList)
        m_pSequenceList->Write(writer);
}

bool CVideoStream::Accept(IProcessor& processor)
{
    if (!processor.ProcessVideoStream(*this))
        return false;
    return !m_pSequenceList || m_pSequenceList->Accept(processor);
}

// CVideoFactory

std::unique_ptr<CVideoSequenceList> CVideoFactory::CreateSequenceList()
{
    return std::make_unique<CVideoSequenceList>();
}

std::unique_ptr<CVideoSequence> CVideoFactory::CreateSequence()
{
    return std::make_unique<CVideoSequence>();
}

std::unique_ptr<CSyntaxElement> CVideoFactory::CreateByStartCode(std::uint32_t nCode)
{
    switch (nCode)
    {
    case kSequenceEndCode:
        return std::make_unique<CSequenceEnd>();
    case kExtensionStartCode:
        return std::make_unique<CExtension>();
    case kUserDataStartCode:
        return std::make_unique<CUserData>();
    case kSequenceHeaderCode:
        return std::make_unique<CVideoSequence>();
    case kPictureStartCode:
        return std::make_unique<CPicture>();
    case kGroupStartCode:
        return std::make_unique<CGroupOfPictures>();
    default:
        return nullptr;
    }
}

std::unique_ptr<CExtensionBody> CVideoFactory::CreateExtension(std::uint8_t byIdentifier)
{
    switch (byIdentifier)
    {
    case kSequenceExtensionId:
        return std::make_unique<CSequenceExtension>();
    case kSequenceDisplayExtensionId:
        return std::make_unique<CSequenceDisplayExtension>();
    case kSequenceScalableExtensionId:
        return std::make_unique<CSequenceScalableExtension>();
    case kPictureCodingExtensionId:
        return std::make_unique<CPictureCodingExtension>();
    case kQuantMatrixExtensionId:
    case kCopyrightExtensionId:
    case kPictureDisplayExtensionId:
    case kPictureSpatialScalableExtensionId:
    case kPictureTemporalScalableExtensionId:
        return std::make_unique<CGenericExtension>(byIdentifier);
    default:
        return nullptr;
    }
}

std::unique_ptr<CSyntaxElement> CVideoFactory::CreateHeaderByStartCode(std::uint32_t nCode)
{
    switch (nCode)
    {
    case kSequenceHeaderCode:
        return std::make_unique<CSequenceHeader>();
    case kGroupStartCode:
        return std::make_unique<CGopHeader>();
    case kPictureStartCode:
        return std::make_unique<CPictureHeader>();
    default:
        return nullptr;
    }
}
