#pragma once

// The utility's settings record, shared by everything that starts or configures
// an operation. Nothing of it is stored between runs: every field starts at the
// default given here.

#include <com/Types.h>

#include <array>
#include <cstdint>
#include <string>

struct IBaseFilter;
struct IGraphBuilder;
struct ICaptureGraphBuilder2;
struct IMoniker;

enum class PlaybackKind : int32_t
{
    Mpeg = 1,
    C3S = 2,
};

// One video processing amplifier property with its range.
struct ProcAmpSetting
{
    int32_t value;
    int32_t min;
    int32_t max;
};

// Brightness, contrast, hue, saturation, sharpness.
inline constexpr size_t kProcAmpCount = 5;

// Longest file name, in characters, the utility hands to the filters.
inline constexpr size_t kMaxPathChars = 260;

struct AppSettings
{
    // The graph context published by the main window before a device read or the
    // settings dialog; borrowed, never owned.
    struct GraphContextCopy
    {
        ICaptureGraphBuilder2* pCaptureBuilder = nullptr;
        IBaseFilter* pDeviceFilter = nullptr;
        IMoniker* pDeviceMoniker = nullptr;
        IGraphBuilder* pGraph = nullptr;
    } graphContext;

    PlaybackKind playbackKind = PlaybackKind::Mpeg;
    int32_t selectedProcAmp = 0;
    std::array<ProcAmpSetting, kProcAmpCount> procAmp{{
        {40, 0, 255}, // brightness
        {20, 0, 127}, // contrast
        {0, 0, 127},  // hue
        {44, 0, 127}, // saturation
        {1, 1, 15},   // sharpness
    }};
    int32_t bitRate = 4200000;
    int32_t bitRateMin = 2000000;
    int32_t bitRateMax = 10000000;
    int32_t peakBitRate = 4200000;
    int32_t peakBitRateMin = 4200000;
    int32_t peakBitRateMax = 10000000;
    int32_t vbr = 1;
    int32_t mpeg1 = 0;
    int32_t width = 720;
    int32_t height = 480;
    int32_t input = 0;       // 1 S-Video, 0 Composite
    int32_t tvStandard = 16; // 1 NTSC M, 16 PAL B
    int32_t sampleRate = 48000;
    int32_t volumeMin = 0; // read from the device
    int32_t volumeMax = 0;
    int32_t timeLimitMinutes = 0; // 0: none
    int32_t volume = 0;           // read from the device
    int32_t pesHeader = 0;        // read from the device
    int32_t byteSwap = 0;         // read from the device: 1 PCM, 0 LPCM
    int32_t convertMode = 0;      // 1 while a conversion is set up
    int32_t developer = 0;
    int32_t mute = 0;
    int32_t fileSizeLimitMB = 2032;
    std::string captureFile = "Marvek.mpg";
    std::string playbackFile = "Marvek.mpg";
    std::string convertSource;
    std::string convertTarget;
};

// The playback kind of a file, by its extension: "c3s" in any letter case is a C3
// stream file; anything else (no extension included) is played as MPEG.
PlaybackKind PlaybackKindOf(const std::string& fileName);
