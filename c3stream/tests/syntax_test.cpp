#include "c3stream/buffer_rw.h"
#include "c3stream/exceptions.h"
#include "c3stream/processor_interfaces.h"
#include "c3stream/syntax.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// A leaf of one byte that records its value and stops a walk when told to.
class COneByte : public CSyntaxElement
{
public:
    void Read(CBufferReader& reader) override { m_byValue = reader.ReadByte(); }
    void Write(CBufferWriter& writer) override { writer.WriteByte(m_byValue); }
    bool Accept(IProcessor&) override
    {
        s_vecVisited.push_back(m_byValue);
        return m_byValue != 0xFF;
    }

    std::uint8_t m_byValue = 0;
    static inline std::vector<std::uint8_t> s_vecVisited;
};

// A header byte when the first byte is 0x80, then one-byte children until a zero byte.
class CZeroTerminated : public CCompositeElement
{
protected:
    std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader& reader) override
    {
        return reader.PeekByte() == 0x80 ? std::make_unique<COneByte>() : nullptr;
    }
    std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) override
    {
        return reader.PeekByte() == 0 ? nullptr : std::make_unique<COneByte>();
    }
};

std::vector<std::uint8_t> Visit(CCompositeElement& element, bool& bResult)
{
    COneByte::s_vecVisited.clear();
    IProcessor processor;
    bResult = element.Accept(processor);
    return COneByte::s_vecVisited;
}

TEST(CompositeElement, ReadsHeaderThenChildrenUntilNoneIsGiven)
{
    const std::uint8_t bytes[] = {0x80, 1, 2, 0, 7};
    CBufferReader reader(bytes, sizeof bytes);
    CZeroTerminated element;
    element.Read(reader);
    ASSERT_NE(element.Header(), nullptr);
    ASSERT_EQ(element.Children().size(), 2u);
    EXPECT_EQ(reader.Position(), bytes + 3);

    std::uint8_t out[3] = {};
    CBufferWriter writer(out, sizeof out);
    element.Write(writer);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 3), (std::vector<std::uint8_t>{0x80, 1, 2}));
}

TEST(CompositeElement, ReadsNothingWhenNoHeaderAndNoChild)
{
    const std::uint8_t bytes[] = {0, 1};
    CBufferReader reader(bytes, sizeof bytes);
    CZeroTerminated element;
    element.Read(reader);
    EXPECT_EQ(element.Header(), nullptr);
    EXPECT_TRUE(element.Children().empty());
    EXPECT_EQ(reader.Position(), bytes);

    CBufferReader empty;
    EXPECT_THROW(element.Read(empty), CReaderException);
}

TEST(CompositeElement, KeepsTheChildrenReadBeforeAFailure)
{
    // The last child's read runs out of bytes: nothing leaks and the earlier ones stay.
    class CTwoBytes : public COneByte
    {
        void Read(CBufferReader& reader) override { reader.ReadBytes(2); }
    };
    class CPairs : public CCompositeElement
    {
        std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader&) override { return nullptr; }
        std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader&) override
        {
            return std::make_unique<CTwoBytes>();
        }
    };
    const std::uint8_t bytes[] = {1, 2, 3};
    CBufferReader reader(bytes, sizeof bytes);
    CPairs element;
    EXPECT_THROW(element.Read(reader), CReaderException);
    EXPECT_EQ(element.Children().size(), 1u);
}

TEST(CompositeElement, AcceptStopsAtTheFirstFalse)
{
    const std::uint8_t bytes[] = {0x80, 1, 0xFF, 3, 0};
    CBufferReader reader(bytes, sizeof bytes);
    CZeroTerminated element;
    element.Read(reader);
    bool bResult = true;
    EXPECT_EQ(Visit(element, bResult), (std::vector<std::uint8_t>{0x80, 1, 0xFF}));
    EXPECT_FALSE(bResult);

    CZeroTerminated stopsAtHeader;
    auto pHeader = std::make_unique<COneByte>();
    pHeader->m_byValue = 0xFF;
    stopsAtHeader.SetHeader(std::move(pHeader));
    stopsAtHeader.AddChild(std::make_unique<COneByte>());
    EXPECT_EQ(Visit(stopsAtHeader, bResult), (std::vector<std::uint8_t>{0xFF}));
    EXPECT_FALSE(bResult);
}
} // namespace
