#pragma once

// The device operations of the settings dialog, without the dialog: reading and
// setting the capture device's encoder, audio, picture, video-standard and input
// parameters through its filter, and copying them between the device and the
// settings record.
//
// Each operation works on a property buffer of this object. A Get zeroes its whole
// buffer, asks the driver to fill it, then copies the fields out, so where the
// driver wrote nothing the copied value is 0. A Set sends the buffer as the last
// Get left it plus the fields a caller wrote since (the Write... helpers), never a
// buffer built from nothing. Results of the driver calls are not examined: a
// device that lacks a property leaves zeros, or the previous values for interface
// calls that write nothing. Without a device filter every operation does nothing.
//
// Called on the application thread only, also while a graph runs.

#include "AppSettings.h"

#include <DeviceControlProperties.h>

#include <com/ComPtr.h>
#include <dshow/dshow.h>

#include <array>
#include <cstdint>
#include <vector>

// A frame size the device's encoder caps offer.
struct OfferedSize
{
    std::int32_t width;
    std::int32_t height;

    bool operator==(const OfferedSize&) const = default;
};

class DevicePropertyAccess
{
public:
    // Told when the caps reads have new lists for the dialog's controls.
    class Listener
    {
    public:
        virtual ~Listener() = default;
        // After GetEncoderCaps: the frame sizes and the bit-rate ranges.
        virtual void OnEncoderCapsRead() = 0;
        // After GetAudioCaps: the sampling rates and the volume range.
        virtual void OnAudioCapsRead() = 0;
    };

    // Borrows the capture graph builder and the device filter the settings record
    // publishes; takes the device's decoder and amplifier interfaces once.
    explicit DevicePropertyAccess(AppSettings& settings, Listener* pListener = nullptr);

    bool HasDevice() const { return m_pDevice != nullptr; }

    void GetEncoderCaps();
    void GetProcAmpRange();
    void GetEncoderSettings();
    void SetEncoderSettings();
    void GetProcAmpValue();
    void SetProcAmpValue();
    void GetTvFormat();
    void SetTvFormat();
    void GetInputRoute();
    void SetInputRoute();
    void GetAudioSettings();
    void SetAudioSettings();
    void GetAudioCaps();
    void GetVolume();
    void SetVolume();
    void GetMute();
    void SetMute();
    void EnablePassthrough();

    // The main window's read at start-up: TV format, encoder settings, audio
    // settings, routed input.
    void ReadAtStartup();
    // The settings dialog's read when it opens; leaves selectedProcAmp at 4.
    void ReadForDialog();

    // Fields of the encoder and audio settings buffers, to write before a Set.
    enum EncoderField : unsigned
    {
        kBitRate = 1 << 0,
        kPeakBitRate = 1 << 1,
        kVbr = 1 << 2,
        kWidth = 1 << 3,
        kHeight = 1 << 4,
        kMpeg1 = 1 << 5,
        kAllEncoderFields = (1 << 6) - 1,
    };
    enum AudioField : unsigned
    {
        kSampleRate = 1 << 0,
        kByteSwap = 1 << 1,
        kPesHeader = 1 << 2,
    };

    // Write fields of the settings record into the buffers before a Set.
    void WriteEncoderFields(unsigned fields);
    void WriteAudioFields(unsigned fields);
    void WriteVolumeField();
    void WriteMuteField();
    void WriteProcAmpValue(std::int32_t value);

    // What the last caps reads offered: at most 10 sizes and 3 rates.
    std::vector<OfferedSize> OfferedSizes() const;
    std::vector<std::int32_t> OfferedRates() const;
    // The range the last GetProcAmpRange left.
    std::int32_t ProcAmpMin() const { return m_nProcAmpMin; }
    std::int32_t ProcAmpMax() const { return m_nProcAmpMax; }
    // The value the amplifier buffer holds.
    std::int32_t ProcAmpBufferValue() const;

private:
    template <std::size_t N> using Buffer = std::array<std::uint8_t, N>;

    ComPtr<IKsPropertySet> PropertySet() const;
    template <std::size_t N> void KsGet(const GUID& set, DWORD id, Buffer<N>& buffer);
    template <std::size_t N> void KsSet(const GUID& set, DWORD id, Buffer<N>& buffer);
    ComPtr<IAMCrossbar> FindCrossbar() const;

    AppSettings& m_Settings;
    Listener* const m_pListener;
    ComPtr<IBaseFilter> m_pDevice;
    ComPtr<ICaptureGraphBuilder2> m_pBuilder;
    ComPtr<IAMAnalogVideoDecoder> m_pDecoder;
    ComPtr<IAMVideoProcAmp> m_pProcAmp;

    Buffer<DeviceLayout::EncoderSettings::kSize> m_EncoderSettings{};
    Buffer<DeviceLayout::AudioValue::kSize> m_Volume{};
    Buffer<DeviceLayout::AudioSettings::kSize> m_AudioSettings{};
    Buffer<DeviceLayout::EncoderCaps::kSize> m_EncoderCaps{};
    Buffer<DeviceLayout::AudioCaps::kSize> m_AudioCaps{};
    Buffer<DeviceLayout::AudioValue::kSize> m_Mute{};
    Buffer<DeviceLayout::ProcAmp::kSize> m_ProcAmp{};
    std::int32_t m_nProcAmpMin = 0;
    std::int32_t m_nProcAmpMax = 0;
};
