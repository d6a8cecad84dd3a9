#pragma once

#include <memory>
#include <vector>

class CBufferReader;
class CBufferWriter;
class IProcessor;

// Base of every element of the formats the library reads and writes.
class CSyntaxElement
{
public:
    virtual ~CSyntaxElement() = default;

    virtual void Read(CBufferReader& reader) = 0;
    virtual void Write(CBufferWriter& writer) = 0;
    // Hands the element to the processor; false stops the walk.
    virtual bool Accept(IProcessor& processor) = 0;
};

// An element made of an optional header and an ordered list of children. It decides from the
// bytes ahead which child comes next.
class CCompositeElement : public CSyntaxElement
{
public:
    // Throws CReaderException when the reader has no data left at the start.
    void Read(CBufferReader& reader) override;
    void Write(CBufferWriter& writer) override;
    // Walks the header, then the children, stopping at the first false.
    bool Accept(IProcessor& processor) override;

    CSyntaxElement* Header() const { return m_pHeader.get(); }
    const std::vector<std::unique_ptr<CSyntaxElement>>& Children() const { return m_vecChildren; }
    // For building an element by hand before writing it.
    void SetHeader(std::unique_ptr<CSyntaxElement> pHeader) { m_pHeader = std::move(pHeader); }
    void AddChild(std::unique_ptr<CSyntaxElement> pChild);

protected:
    // Each returns a new element to read next, or null: no header, or no further child.
    virtual std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader& reader) = 0;
    virtual std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) = 0;

private:
    std::unique_ptr<CSyntaxElement> m_pHeader;
    std::vector<std::unique_ptr<CSyntaxElement>> m_vecChildren;
};
