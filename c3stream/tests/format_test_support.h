#pragma once

// Helpers shared by the tests of the PES, audio and video elements.

#include "c3stream/buffer_rw.h"
#include "c3stream/processor_interfaces.h"
#include "c3stream/syntax.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A heap block of exactly the input's size, so AddressSanitizer reports any read past it.
class CExactBuffer
{
public:
    explicit CExactBuffer(const Bytes& bytes)
        : m_pData(new std::uint8_t[bytes.size()]), m_cbSize(bytes.size())
    {
        if (!bytes.empty())
            std::memcpy(m_pData.get(), bytes.data(), bytes.size());
    }

    const std::uint8_t* Data() const { return m_pData.get(); }
    std::size_t Size() const { return m_cbSize; }
    CBufferReader Reader() const { return CBufferReader(m_pData.get(), m_cbSize); }

private:
    std::unique_ptr<std::uint8_t[]> m_pData;
    std::size_t m_cbSize;
};

// What an element writes into a buffer of cbRoom bytes.
inline Bytes WriteToBytes(CSyntaxElement& element, std::size_t cbRoom)
{
    Bytes bytes(cbRoom);
    CBufferWriter writer(bytes.data(), bytes.size());
    element.Write(writer);
    writer.AlignWrite();
    bytes.resize(static_cast<std::size_t>(writer.Position() - writer.Begin()));
    return bytes;
}

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A processor that notes each step of a walk as a letter and stops after a chosen step.
class CWalkRecorder : public IProcessor
{
public:
    std::string m_strOrder;
    std::size_t m_nStopAfter = 100;

protected:
    bool Note(char chStep)
    {
        m_strOrder += chStep;
        return m_strOrder.size() < m_nStopAfter;
    }
};
