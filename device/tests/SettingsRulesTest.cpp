// How the device takes new values: what it refuses, what it clamps, and how its
// stored text reads back, including text it would have refused.

#include "SettingsRules.h"
#include "CapsValues.h"
#include "SettingsText.h"

#include <gtest/gtest.h>

using namespace SettingsRules;

namespace
{
const DeviceCaps kCaps; // the defaults
} // namespace

TEST(SettingsRules, ZerosAndValuesOutOfPlaceAreRefusedAndChangeNothing)
{
    const DeviceSettings before;
    const EncoderFields good = {6000000, 8000000, 1, 352, 240, 0};
    const EncoderFields refused[] = {
        {0, 8000000, 1, 352, 240, 0},       // no bit rate
        {-5, 8000000, 1, 352, 240, 0},      // a negative one
        {6000000, 0, 1, 352, 240, 0},       // no peak with VBR
        {6000000, 8000000, 1, 0, 0, 0},     // no size
        {6000000, 8000000, 1, 640, 480, 0}, // not offered at all
        {6000000, 8000000, 2, 352, 240, 0}, // vbr not a flag
        {6000000, 8000000, 1, 352, 240, 7}, // mpeg1 not a flag
    };
    for (const EncoderFields& fields : refused)
    {
        DeviceSettings settings = before;
        EXPECT_FALSE(ApplyEncoder(settings, kCaps, fields))
            << fields.bitRate << " " << fields.width;
        EXPECT_EQ(before, settings);
    }
    DeviceSettings settings = before;
    ASSERT_TRUE(ApplyEncoder(settings, kCaps, good));
    EXPECT_EQ(352u, settings.width);

    const AudioFields badAudio[] = {{0, 0, 1}, {22050, 0, 1}, {48000, 2, 1}, {48000, 0, 255}};
    for (const AudioFields& fields : badAudio)
    {
        DeviceSettings audio = before;
        EXPECT_FALSE(ApplyAudio(audio, kCaps, fields)) << fields.sampleRate;
        EXPECT_EQ(before, audio);
    }
    DeviceSettings other = before;
    EXPECT_FALSE(ApplyMute(other, 2));
    EXPECT_FALSE(ApplyInput(other, 2));
    EXPECT_FALSE(ApplyInput(other, -1));
    EXPECT_FALSE(ApplyProcAmp(other, kCaps, VideoProcAmp_Gamma, 1));
    EXPECT_FALSE(ApplyStandard(other, kCaps, 0));
    EXPECT_FALSE(ApplyStandard(other, kCaps, AnalogVideo_NTSC_M_J));
    EXPECT_FALSE(ApplyStandard(other, kCaps, AnalogVideo_NTSC_M | AnalogVideo_PAL_B));
    EXPECT_EQ(before, other);
}

TEST(SettingsRules, KnobsAreClampedIntoTheirRanges)
{
    DeviceSettings settings;
    // The settings dialog's MPEG-1 choice sends 1,150,000 bit/s, below the range.
    ASSERT_TRUE(ApplyEncoder(settings, kCaps, {1150000, 1150000, 0, 320, 240, 1}));
    EXPECT_EQ(2000000, settings.bitRate);
    EXPECT_EQ(2000000, settings.peakBitRate);
    EXPECT_TRUE(settings.mpeg1);
    ASSERT_TRUE(ApplyEncoder(settings, kCaps, {20000000, 3000000, 1, 720, 480, 0}));
    EXPECT_EQ(10000000, settings.bitRate);
    EXPECT_EQ(10000000, settings.peakBitRate); // never below the bit rate
    ASSERT_TRUE(ApplyEncoder(settings, kCaps, {5000000, 0, 0, 720, 480, 0})); // CBR needs no peak
    EXPECT_EQ(5000000, settings.peakBitRate);

    ASSERT_TRUE(ApplyVolume(settings, kCaps, 300));
    EXPECT_EQ(50, settings.volume);
    ASSERT_TRUE(ApplyVolume(settings, kCaps, -51));
    EXPECT_EQ(-50, settings.volume);

    EnablePassthrough(settings);
    ASSERT_TRUE(ApplyProcAmp(settings, kCaps, VideoProcAmp_Brightness, 999));
    EXPECT_EQ(255, settings.procAmp[VideoProcAmp_Brightness]);
    EXPECT_FALSE(settings.passthrough); // adjusting the picture ends passthrough
    ASSERT_TRUE(ApplyProcAmp(settings, kCaps, VideoProcAmp_Sharpness, 0));
    EXPECT_EQ(1, settings.procAmp[VideoProcAmp_Sharpness]);
}

TEST(SettingsRules, ANewStandardKeepsTheKindOfFrameSize)
{
    DeviceSettings settings;
    // A size of the other standard is its counterpart in this one.
    ASSERT_TRUE(ApplyEncoder(settings, kCaps, {4200000, 6000000, 1, 704, 576, 0}));
    EXPECT_EQ(FrameSize(704, 480), FrameSize(settings.width, settings.height));

    ASSERT_TRUE(ApplyEncoder(settings, kCaps, {4200000, 6000000, 1, 352, 240, 0}));
    ASSERT_TRUE(ApplyStandard(settings, kCaps, AnalogVideo_PAL_B));
    EXPECT_EQ(FrameSize(352, 288), FrameSize(settings.width, settings.height));
    ASSERT_TRUE(ApplyStandard(settings, kCaps, AnalogVideo_PAL_G));
    EXPECT_EQ(FrameSize(352, 288), FrameSize(settings.width, settings.height));
    EXPECT_EQ(AnalogVideo_PAL_G, settings.standard);
    ASSERT_TRUE(ApplyStandard(settings, kCaps, AnalogVideo_NTSC_M));
    EXPECT_EQ(FrameSize(352, 240), FrameSize(settings.width, settings.height));
}

TEST(SettingsText, ReadsBackWhatItWroteAndFallsBackWhereTheTextIsBroken)
{
    DeviceSettings settings;
    ASSERT_TRUE(ApplyStandard(settings, kCaps, AnalogVideo_PAL_D));
    ASSERT_TRUE(ApplyEncoder(settings, kCaps, {3000000, 9000000, 0, 704, 576, 1}));
    ASSERT_TRUE(ApplyAudio(settings, kCaps, {44100, 1, 0}));
    ApplyVolume(settings, kCaps, -7);
    ApplyMute(settings, 1);
    ApplyInput(settings, 1);
    ApplyProcAmp(settings, kCaps, VideoProcAmp_Hue, 99);
    EnablePassthrough(settings);
    EXPECT_EQ(settings, DecodeSettings(EncodeSettings(settings), kCaps));

    // Values the device would refuse fall back to the defaults of their group only.
    const DeviceSettings edited =
        DecodeSettings("standard=1 width=123 height=480 samplerate=22050 volume=-7 "
                       "contrast=90 mute=3 junk bitrate=x",
                       kCaps);
    const DeviceSettings defaults;
    EXPECT_EQ(defaults.width, edited.width);
    EXPECT_EQ(defaults.bitRate, edited.bitRate);
    EXPECT_EQ(defaults.sampleRate, edited.sampleRate);
    EXPECT_EQ(defaults.mute, edited.mute);
    EXPECT_EQ(-7, edited.volume);
    EXPECT_EQ(90, edited.procAmp[VideoProcAmp_Contrast]);
    EXPECT_EQ(defaults, DecodeSettings("", kCaps));
}

TEST(ConfiguredCaps, TheRulesTakeTheListsAndRangesADeviceIsConfiguredWith)
{
    DeviceCaps caps;
    std::string problem;
    ASSERT_TRUE(CapsValues::Parse(caps, "NtscSizes", "640x480,544x480 320x240", &problem));
    ASSERT_TRUE(CapsValues::Parse(caps, "SampleRates", "22050 32000", &problem));
    ASSERT_TRUE(CapsValues::Parse(caps, "BitRateRange", "500000..20000000", &problem));
    ASSERT_TRUE(CapsValues::Parse(caps, "BrightnessRange", "50..60", &problem));
    EXPECT_EQ("640x480 544x480 320x240", CapsValues::Format(caps, "NtscSizes"));

    DeviceSettings settings;
    ASSERT_TRUE(ApplyEncoder(settings, caps, {600000, 16000000, 1, 544, 480, 0}));
    EXPECT_EQ(600000, settings.bitRate);       // below the default range
    EXPECT_EQ(16000000, settings.peakBitRate); // above it
    EXPECT_FALSE(ApplyEncoder(settings, caps, {600000, 0, 0, 720, 480, 0})); // not offered now
    // The second NTSC size is the second PAL one.
    ASSERT_TRUE(ApplyStandard(settings, caps, AnalogVideo_PAL_B));
    EXPECT_EQ(FrameSize(704, 576), FrameSize(settings.width, settings.height));
    ASSERT_TRUE(ApplyAudio(settings, caps, {22050, 0, 1}));
    EXPECT_FALSE(ApplyAudio(settings, caps, {48000, 0, 1}));
    ASSERT_TRUE(ApplyProcAmp(settings, caps, VideoProcAmp_Brightness, 0));
    EXPECT_EQ(50, settings.procAmp[VideoProcAmp_Brightness]);
    EXPECT_EQ(50, caps.ProcAmpRangeOf(VideoProcAmp_Brightness)->defaultValue);

    // Settings stored under the default caps are brought within these when read: a size
    // or rate no longer offered becomes the first one offered.
    const DeviceSettings read = DecodeSettings(EncodeSettings(DeviceSettings()), caps);
    EXPECT_EQ(FrameSize(640, 480), FrameSize(read.width, read.height));
    EXPECT_EQ(22050u, read.sampleRate);
    EXPECT_EQ(50, read.procAmp[VideoProcAmp_Brightness]);

    // Values that do not read leave the caps as they were, and say why.
    const DeviceCaps before = caps;
    const std::pair<const char*, const char*> refused[] = {{"PalSizes", "720x"},
                                                           {"SampleRates", " , "},
                                                           {"VolumeRange", "5..-5"},
                                                           {"HueRange", "1-2"},
                                                           {"GammaRange", "1..2"}};
    for (const auto& [pszName, pszText] : refused)
    {
        EXPECT_FALSE(CapsValues::Parse(caps, pszName, pszText, &problem)) << pszName;
        EXPECT_EQ(0u, problem.rfind(pszName, 0)) << problem;
    }
    EXPECT_EQ(before, caps);
    // The capture source encodes no 22050 Hz; the knobs it brings within its own limits.
    const std::vector<std::string> uncapturable = CapsValues::Uncapturable(caps);
    ASSERT_EQ(1u, uncapturable.size());
    EXPECT_EQ(0u, uncapturable[0].rfind("SampleRates: sampling rate 22050 Hz", 0));
}
