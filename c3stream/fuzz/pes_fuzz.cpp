// PES packets read one after another as a demultiplexer meets them: each start code's stream
// id picks the element through the factory.
#include "c3stream/pes.h"
#include "c3stream/singleton_manager.h"
#include "fuzz_target.h"

std::vector<FuzzBytes> FuzzSeeds()
{
    const FuzzBytes ptsPacket = {0x00, 0x00, 0x01, 0xE0, 0x00, 0x0C, 0x80, 0x80, 0x05,
                                 0x21, 0x00, 0x05, 0xBF, 0x21, 0x11, 0x22, 0x33, 0x44};
    const FuzzBytes everyOptionalField = {
        0x00, 0x00, 0x01, 0xC0, 0x00, 0x3C, 0x84, 0xFF, 0x35, 0x31, 0x00, 0x05, 0xBF, 0x21,
        0x11, 0x00, 0x03, 0x5F, 0x91, 0xC4, 0x00, 0x2D, 0xF9, 0x04, 0x01, 0x82, 0x46, 0x8B,
        0xA5, 0xD5, 0xBE, 0xEF, 0xFF, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
        0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x03, 0xAA, 0xBB, 0xCC, 0xAA, 0xD5, 0x6A,
        0xBC, 0x82, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x02, 0x03, 0x04};
    const FuzzBytes padding = {0x00, 0x00, 0x01, 0xBE, 0x00, 0x04, 0xFF, 0xFF, 0xFF, 0xFF};
    const FuzzBytes data = {0x00, 0x00, 0x01, 0xBF, 0x00, 0x03, 0x0A, 0x0B, 0x0C};
    const FuzzBytes unbounded = {0x00, 0x00, 0x01, 0xBD, 0x00, 0x00, 0x80,
                                 0x00, 0x00, 0xA0, 0x01, 0x02, 0x03};
    return {JoinBytes({ptsPacket, padding, data}), everyOptionalField,
            JoinBytes({data, unbounded})};
}

std::vector<FuzzBytes> FuzzTokens()
{
    return C3Markers();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbSize)
{
    CPesFactory* pFactory = CSingletonManager::Instance().PesFactory();
    CBufferReader reader(pData, cbSize);
    while (reader.FindStartCode() >= 0 && reader.Remaining() >= 4)
    {
        const auto byStreamId = static_cast<std::uint8_t>(reader.PeekBytes(4));
        std::unique_ptr<CSyntaxElement> pPacket = pFactory->CreatePesPacket(byStreamId);
        if (!pPacket)
        {
            reader.Seek(4, CBuffer::FromCurrent);
            continue;
        }
        const bool bWhole = ReadQuietly(*pPacket, reader);
        if (const auto* pPes = dynamic_cast<CPesPacket*>(pPacket.get()))
        {
            FuzzCheck(pPes->m_cbPayload == 0 ||
                          (pPes->m_pPayload >= pData &&
                           pPes->m_pPayload + pPes->m_cbPayload <= pData + cbSize),
                      "payload inside the input");
        }
        WriteAndWalk(*pPacket, 2 * cbSize + 1024);
        if (!bWhole)
            break;
    }
    return 0;
}
