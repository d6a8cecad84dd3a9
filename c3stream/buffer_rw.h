#pragma once

#include <cstddef>
#include <cstdint>

// Cursors over memory the caller owns. Bits are taken most significant first and integers are
// big-endian. The buffers never allocate and never own their memory.
class CBuffer
{
public:
    enum SeekOrigin
    {
        FromBegin = 0,
        FromCurrent = 1,
        FromEnd = 2
    };

    CBuffer() = default;
    CBuffer(const std::uint8_t* pData, std::size_t cbLength);
    CBuffer(const CBuffer&) = default;
    CBuffer& operator=(const CBuffer&) = default;
    virtual ~CBuffer() = default;

    const std::uint8_t* Begin() const { return m_pBegin; }
    const std::uint8_t* Position() const { return m_pPosition; }
    const std::uint8_t* End() const { return m_pEnd; }
    std::uint32_t BitOffset() const { return m_nBitOffset; }
    bool HasData() const { return m_pPosition != m_pEnd; }
    // Bytes from the position to the end.
    std::size_t Remaining() const { return static_cast<std::size_t>(m_pEnd - m_pPosition); }

    void Rewind();
    // Moves to origin + nOffset; a target outside the buffer is clamped and gives false.
    bool Seek(std::ptrdiff_t nOffset, SeekOrigin origin);
    // Moves to pPosition if it lies in begin..end (end included); otherwise changes nothing
    // but the bit offset and gives false.
    bool SetPosition(const std::uint8_t* pPosition);

protected:
    const std::uint8_t* m_pBegin = nullptr;
    const std::uint8_t* m_pEnd = nullptr;
    const std::uint8_t* m_pPosition = nullptr;
    std::uint32_t m_nBitOffset = 0;
};

class CBufferReader : public CBuffer
{
public:
    using CBuffer::CBuffer;

    // Both throw CReaderException at the end of the buffer.
    std::uint8_t ReadByte();
    std::uint8_t PeekByte() const;

    std::uint32_t ReadBit();
    std::uint32_t PeekBit() const;
    // Reads n bits (1 to 32) as an unsigned number; wider fields keep their low 32 bits.
    std::uint32_t ReadBits(std::uint32_t nBits);
    // Reads n whole bytes (1 to 4) big-endian, first skipping a partly read byte.
    std::uint32_t ReadBytes(std::uint32_t nBytes);
    // ReadBytes, then steps back n bytes: leaves the buffer byte-aligned where the read began.
    std::uint32_t PeekBytes(std::uint32_t nBytes);
    bool SkipBits(std::uint32_t nBits);
    void AlignRead();
    // Consumes bytes up to and including the first equal to byValue; returns how many.
    std::size_t CountUpTo(std::uint8_t byValue);

    // Scans; each first skips a partly read byte, which counts as one byte skipped.
    // Next 00 00 01 prefix: position on its last two zero bytes; returns the bytes skipped.
    std::ptrdiff_t FindStartCode();
    // Next FF followed by a byte of F0 or more: position on the FF, which is returned.
    const std::uint8_t* FindAudioSync();
    // Next DE AD CA FE: position on the DE; returns the bytes skipped.
    std::ptrdiff_t FindFrameMarker();

private:
    // Consumes the byte at the position; throws at the end.
    std::uint8_t TakeByte();
    // Moves past a partly read byte; false when that reaches the end.
    bool SkipPartialByte();
};

class CBufferWriter : public CBuffer
{
public:
    CBufferWriter() = default;
    CBufferWriter(std::uint8_t* pData, std::size_t cbLength) : CBuffer(pData, cbLength) {}

    // Every write returns HasData afterwards: false means the buffer is now full.
    bool WriteByte(std::uint8_t byValue);
    bool WriteBit(std::uint32_t nBit) { return WriteBits(nBit, 1); }
    // Appends the low n bits of nValue (n from 1 to 32), most significant first.
    bool WriteBits(std::uint32_t nValue, std::uint32_t nBits);
    // Flushes pending bits, then stores the low n bytes (1 to 4) of nValue big-endian.
    bool WriteBytes(std::uint32_t nValue, std::uint32_t nBytes);
    bool AlignWrite();
    bool Fill(std::uint8_t byValue, std::size_t cbCount);
    // Copies up to the room left, straight to the position; throws CWriterException when the
    // buffer is already full.
    bool WriteRaw(const void* pSource, std::size_t cbLength);

private:
    // Stores one byte if there is room; the writer was built over mutable memory.
    void Store(std::uint8_t byValue);

    std::uint8_t m_byPending = 0;
};
