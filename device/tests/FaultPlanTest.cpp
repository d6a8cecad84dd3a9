// The fault plan's two forms (the registry text kstest writes, the DEVICEPROP_FAULTS
// buffer) and the capture stream's damage.

#include "DeviceControlProperties.h"
#include "FaultLayout.h"
#include "FaultText.h"
#include "StreamDamage.h"

#include <dshow/Events.h>
#include <gtest/gtest.h>

#include <array>

namespace
{
using Bytes = std::vector<std::uint8_t>;

FaultPlan PlanOf(const std::vector<std::string>& assignments)
{
    FaultPlan plan;
    for (const std::string& assignment : assignments)
    {
        const std::size_t equals = assignment.find('=');
        std::string problem;
        EXPECT_TRUE(ApplyFault(plan, std::string_view(assignment).substr(0, equals),
                               equals == std::string::npos
                                   ? std::nullopt
                                   : std::optional(std::string_view(assignment).substr(equals + 1)),
                               &problem))
            << assignment << ": " << problem;
    }
    return plan;
}

FaultPlan ThroughLayout(const FaultPlan& plan)
{
    std::array<std::uint8_t, DeviceLayout::Faults::kSize> buffer{};
    WriteFaultLayout(buffer.data(), plan);
    return ReadFaultLayout(buffer.data()).value_or(FaultPlan());
}
} // namespace

TEST(FaultPlan, EveryFaultReadsBackFromTheRegistryTextAndTheProperty)
{
    const FaultPlan plan = PlanOf(
        {"get-fail:encoder-settings=0x8007001F", "set-fail:brightness", "get-empty:audio-caps",
         "set-ignore:mute", "bind-fail=0x8007048F", "join-fail", "drop-frames=30", "stall=250",
         "flip-bits=4096", "cut-pes=7", "capture-stop=2.5:stream-error:0x80070070",
         "playback-refuse=12", "playback-event=3:audio-in"});
    EXPECT_EQ(4u, plan.properties.size());
    EXPECT_EQ(HRESULT(0x8007001F), plan.Find(FaultPropertySet::DeviceControl,
                                             DEVICEPROP_ENCODER_SETTINGS, FaultOperation::Get)
                                       ->result);
    EXPECT_EQ(2500u, plan.captureStop.after);
    EXPECT_EQ(EC_STREAM_ERROR_STOPPED, plan.captureStop.code);
    EXPECT_EQ(EC_SNDDEV_IN_ERROR, plan.playbackEvent.code);
    EXPECT_TRUE(plan.IsValid());

    EXPECT_EQ(plan, DecodeFaults(EncodeFaults(plan)));
    EXPECT_EQ(plan, ThroughLayout(plan));
    EXPECT_EQ(FaultPlan(), ThroughLayout(FaultPlan()));
    EXPECT_EQ("capture-stop=2.5:stream-error:0x80070070", FaultAssignments(plan)[10]);

    // "off" takes one back; an unreadable word in the stored text is skipped.
    FaultPlan fewer = plan;
    std::string problem;
    ASSERT_TRUE(ApplyFault(fewer, "set-ignore:mute", "off", &problem));
    ASSERT_TRUE(ApplyFault(fewer, "capture-stop", "off", &problem));
    EXPECT_EQ(3u, fewer.properties.size());
    EXPECT_FALSE(fewer.captureStop.IsSet());
    EXPECT_EQ(fewer, DecodeFaults("junk " + EncodeFaults(fewer) + " stall=x"));
}

TEST(FaultPlan, WhatIsNoFaultIsRefusedWithItsReasonAndChangesNothing)
{
    const FaultPlan before = PlanOf({"drop-frames=3"});
    const std::vector<std::pair<std::string, std::optional<std::string>>> refused = {
        {"get-fail:gamma", std::nullopt},   // no such property
        {"get-fail:volume", "0"},           // a success code
        {"set-fail:volume", "0x00000001"},  // S_FALSE
        {"get-empty:volume", "0x80004005"}, // takes no value
        {"bind-fail", "x"},                 //
        {"drop-frames", std::nullopt},      // needs a value
        {"stall", "-1"},                    //
        {"stall", "600001"},                // beyond ten minutes
        {"flip-bits", "0"},                 // never
        {"capture-stop", "1.2345"},         // beyond milliseconds
        {"capture-stop", "1:bogus"},        //
        {"playback-event", "4:end"},        // the capture pin's only
        {"playback-refuse", "4:5:6"},       //
        {"unplug", std::nullopt},           //
    };
    for (const auto& [name, value] : refused)
    {
        FaultPlan plan = before;
        std::string problem;
        EXPECT_FALSE(ApplyFault(plan, name, value, &problem)) << name;
        EXPECT_EQ(0u, problem.rfind(name, 0)) << problem;
        EXPECT_EQ(before, plan) << name;
    }

    // At most 16 property faults, as the property's buffer holds.
    FaultPlan full;
    for (const char* pszProperty : {"encoder-settings", "volume", "audio-settings", "encoder-caps",
                                    "audio-caps", "mute", "passthrough", "status"})
        for (const char* pszVerb : {"get-fail:", "set-fail:"})
            ASSERT_TRUE(
                ApplyFault(full, std::string(pszVerb) + pszProperty, std::nullopt, nullptr));
    EXPECT_FALSE(ApplyFault(full, "get-fail:hue", std::nullopt, nullptr));
    EXPECT_TRUE(ApplyFault(full, "get-empty:volume", std::nullopt, nullptr)); // replaces one

    // A buffer the device cannot follow is refused whole.
    std::array<std::uint8_t, DeviceLayout::Faults::kSize> buffer{};
    WriteFaultLayout(buffer.data(), full);
    WriteDeviceField<std::uint32_t>(buffer.data(), DeviceLayout::Faults::kPropertyFaultCount, 17);
    EXPECT_FALSE(ReadFaultLayout(buffer.data()));
    WriteFaultLayout(buffer.data(), PlanOf({"playback-event=1:abort"}));
    WriteDeviceField<std::uint32_t>(buffer.data(), DeviceLayout::Faults::kPlaybackEventCode,
                                    EC_COMPLETE);
    EXPECT_FALSE(ReadFaultLayout(buffer.data()));
    WriteFaultLayout(buffer.data(), FaultPlan());
    WriteDeviceField<std::int32_t>(buffer.data(), DeviceLayout::Faults::kBindResult, 1);
    EXPECT_FALSE(ReadFaultLayout(buffer.data()));
}

namespace
{
// A program stream: each pack header, a system header and a padding packet, then
// the PES packets.
struct ProgramStream
{
    Bytes bytes;

    ProgramStream& Pack()
    {
        // An MPEG-2 pack header with two stuffing bytes.
        bytes.insert(bytes.end(), {0x00, 0x00, 0x01, 0xBA, 0x44, 0, 0x04, 0, 0x04, 0x01, 0x01, 0x89,
                                   0xC3, 0xFA, 0xFF, 0xFF});
        return *this;
    }
    ProgramStream& Packet(std::uint8_t streamId, std::uint16_t cbPayload, std::uint16_t cbKept)
    {
        bytes.insert(bytes.end(), {0x00, 0x00, 0x01, streamId, std::uint8_t(cbPayload >> 8),
                                   std::uint8_t(cbPayload)});
        for (std::uint16_t i = 0; i < cbKept; ++i)
            bytes.push_back(std::uint8_t(0x80 | i));
        return *this;
    }
};

// Passes the bytes through the damage in pieces of the given size.
Bytes Damaged(StreamDamage& damage, const Bytes& input, std::size_t cbPiece)
{
    Bytes output;
    for (std::size_t at = 0; at < input.size(); at += cbPiece)
    {
        const std::uint8_t* pData = input.data() + at;
        std::size_t cbData = std::min(cbPiece, input.size() - at);
        while (cbData > 0)
        {
            const StreamDamage::Piece piece = damage.Next(pData, cbData);
            if (piece.kind == StreamDamage::Piece::Keep)
                output.insert(output.end(), pData, pData + piece.length);
            else if (piece.kind == StreamDamage::Piece::Flip)
                output.push_back(pData[0] ^ piece.mask);
            pData += piece.length;
            cbData -= piece.length;
        }
    }
    return output;
}
} // namespace

TEST(StreamDamage, EveryNthPesPacketLosesTheSecondHalfOfItsPayloadInPiecesOfAnySize)
{
    ProgramStream input;
    ProgramStream expected;
    int cPes = 0;
    for (int pack = 0; pack < 3; ++pack)
    {
        input.Pack().Packet(0xBB, 12, 12);
        expected.Pack().Packet(0xBB, 12, 12);
        // Of the video and audio packets every third is cut; system and padding are not PES.
        for (const auto& [streamId, cbPayload] : {std::pair{0xE0, 200}, std::pair{0xBD, 61}})
        {
            input.Packet(std::uint8_t(streamId), std::uint16_t(cbPayload),
                         std::uint16_t(cbPayload));
            const bool bCut = ++cPes % 3 == 0;
            expected.Packet(std::uint8_t(streamId), std::uint16_t(cbPayload),
                            std::uint16_t(bCut ? cbPayload / 2 : cbPayload));
        }
        input.Packet(0xBE, 30, 30);
        expected.Packet(0xBE, 30, 30);
    }
    for (const std::size_t cbPiece : {std::size_t(1), std::size_t(5), input.bytes.size()})
    {
        StreamDamage damage;
        damage.Start(0, 3);
        EXPECT_EQ(expected.bytes, Damaged(damage, input.bytes, cbPiece)) << cbPiece;
        EXPECT_EQ(2u, damage.PacketsCut());
        EXPECT_EQ(0u, damage.BitsFlipped());
    }
}

TEST(StreamDamage, OneBitIsFlippedEveryNBytesAndNothingWithoutAPlan)
{
    ProgramStream input;
    input.Pack().Packet(0xE0, 1000, 1000);
    StreamDamage damage;
    damage.Start(100, 0);
    const Bytes output = Damaged(damage, input.bytes, 7);
    ASSERT_EQ(input.bytes.size(), output.size());
    std::size_t cFlipped = 0;
    for (std::size_t i = 0; i < output.size(); ++i)
    {
        const unsigned difference = input.bytes[i] ^ output[i];
        if (difference == 0)
            continue;
        EXPECT_EQ(99u, i % 100) << i;
        EXPECT_EQ(0u, difference & (difference - 1)) << "one bit at " << i;
        ++cFlipped;
    }
    EXPECT_EQ(input.bytes.size() / 100, cFlipped);
    EXPECT_EQ(cFlipped, damage.BitsFlipped());

    damage.Start(0, 0);
    EXPECT_EQ(input.bytes, Damaged(damage, input.bytes, 3));
}
