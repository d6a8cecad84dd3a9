#include "c3stream/syntax.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/exceptions.h"

void CCompositeElement::Read(CBufferReader& reader)
{
    if (!reader.HasData())
        throw CReaderException();
    m_pHeader = CreateHeader(reader);
    if (m_pHeader)
        m_pHeader->Read(reader);
    while (reader.HasData())
    {
        std::unique_ptr<CSyntaxElement> pChild = CreateNext(reader);
        if (!pChild)
            break;
        pChild->Read(reader);
        m_vecChildren.push_back(std::move(pChild));
    }
}

void CCompositeElement::Write(CBufferWriter& writer)
{
    if (m_pHeader)
        m_pHeader->Write(writer);
    for (const auto& pChild : m_vecChildren)
        pChild->Write(writer);
}

bool CCompositeElement::Accept(IProcessor& processor)
{
    if (m_pHeader && !m_pHeader->Accept(processor))
        return false;
    for (const auto& pChild : m_vecChildren)
    {
        if (!pChild->Accept(processor))
            return false;
    }
    return true;
}

void CCompositeElement::AddChild(std::unique_ptr<CSyntaxElement> pChild)
{
    if (pChild)
        m_vecChildren.push_back(std::move(pChild));
}
