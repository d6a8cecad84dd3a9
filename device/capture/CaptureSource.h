#pragma once
// The virtual device's picture and sound: a live MPEG program stream made on this
// machine with FFmpeg's libraries. A test pattern (or a looped source file) and a tone
// go through a picture-adjustment and volume chain (libavfilter), are encoded as
// MPEG-2 or MPEG-1 video and 16-bit stereo LPCM (libavcodec), and are multiplexed as a
// DVD-style program stream (libavformat): video in stream 0xE0, LPCM in private stream 1
// substream 0xA0.
//
// The source is not paced: each call encodes the next frame as fast as the encoder
// goes. Whoever delivers the bytes paces them (the capture pin, on the graph's clock).
// EncodeNextFrame, SkipFrame and Finish are called on one thread at a time;
// UpdateSettings and FramesEncoded may be called on any thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct CaptureSettings
{
    // Video standard: 1 NTSC M (29.97 frames/s), 16 PAL B, 32 PAL D, 64 PAL G (25).
    std::int32_t standard = 1;
    std::int32_t width = 720;
    std::int32_t height = 480;
    bool mpeg1 = false;
    std::int32_t bitRate = 4200000;     // bit/s
    std::int32_t peakBitRate = 6000000; // bit/s; the rate limit when vbr
    bool vbr = true;                    // false: constant bit rate at bitRate
    std::uint32_t sampleRate = 48000;   // 32000, 44100 or 48000 Hz
    std::int32_t volume = 0;            // dB gain, within the device's volume range
    bool mute = false;
    bool byteSwap = false; // the LPCM samples go out little-endian (PCM byte order)
    // Picture adjustment, within the device's amplifier ranges.
    std::int32_t brightness = 40;
    std::int32_t contrast = 20;
    std::int32_t hue = 0;
    std::int32_t saturation = 44;
    std::int32_t sharpness = 1;
    bool adjustPicture = true; // false while passthrough skips the adjustment
    std::int32_t input = 0;    // 1 S-Video, 0 Composite: each has its own pattern
    std::string deviceName;    // shown in the picture with the input's name
    std::string sourceFile;    // when set, replaces the pattern and tone, looped
};

// Settings that cannot change inside a running stream: changing them takes effect at
// the next start.
bool NeedsRestart(const CaptureSettings& running, const CaptureSettings& wanted);

class CaptureSource
{
public:
    // Receives the program stream as it is produced, in order; false stops the source
    // (the next EncodeNextFrame then fails).
    using ByteSink = std::function<bool(const std::uint8_t* pData, std::size_t cbData)>;

    // Builds the pipeline; on failure returns null and says why in *pError.
    static std::unique_ptr<CaptureSource> Create(const CaptureSettings& settings,
                                                 ByteSink sink, std::string* pError);
    virtual ~CaptureSource() = default;

    // Encodes one video frame and the audio of the same span, and hands every program
    // stream byte this produces to the sink. False, with *pError, when it fails.
    virtual bool EncodeNextFrame(std::string* pError) = 0;
    // Writes what the muxer still holds (the program end code included) to the sink.
    virtual bool Finish(std::string* pError) = 0;

    // Frames per second as a fraction (30000/1001 or 25/1).
    virtual std::int32_t FrameRateNumerator() const = 0;
    virtual std::int32_t FrameRateDenominator() const = 0;
    // Frames encoded so far; frame n covers [n, n + 1) frame durations of stream time.
    virtual std::int64_t FramesEncoded() const = 0;
    // Skips one frame of the pattern and the tone without encoding it, so the picture and
    // the sound stay on time when the deliverer falls behind; the frame number in the
    // picture still counts it.
    virtual void SkipFrame() = 0;

    // Applies the settings that can change while running (picture adjustment, volume,
    // mute, byte order, bit rates and VBR, input) from the next frame on; the others
    // are kept until the next Create.
    virtual void UpdateSettings(const CaptureSettings& settings) = 0;
};
