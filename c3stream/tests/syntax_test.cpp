#include "c3stream/buffer_rw.h"
#include "c3stream/exceptions.h"
#include "c3stream/syntax.h"

#include <gtest/gtest.h>

namespace
{
// Reads a two-byte word.
class CWord : public CSyntaxElement
{
public:
    void Read(CBufferReader& reader) override { reader.ReadBytes(2); }
    void Write(CBufferWriter&) override {}
    bool Accept(IProcessor&) override { return true; }
};

// No header; a word while the next byte is not zero.
class CWords : public CCompositeElement
{
protected:
    std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader&) override { return nullptr; }
    std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) override
    {
        return reader.PeekByte() != 0 ? std::make_unique<CWord>() : nullptr;
    }
};

TEST(CompositeElement, KeepsTheChildrenReadBeforeAFailure)
{
    // The second word runs out of bytes: the first stays, the second is released.
    const std::uint8_t bytes[] = {1, 2, 3};
    CBufferReader reader(bytes, sizeof bytes);
    CWords words;
    EXPECT_THROW(words.Read(reader), CReaderException);
    EXPECT_EQ(words.Children().size(), 1u);
}
} // namespace
