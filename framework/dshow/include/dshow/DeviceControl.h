#pragma once
// Interfaces through which an application configures a capture device's filter:
// kernel-streaming property sets, the video processing amplifier, the analog
// video decoder (video standard), the crossbar (input routing) and the capture
// pin's dropped-frame counters. Values and layouts are the platform's documented
// ones.

#include "com/Unknown.h"
#include "dshow/Filters.h"
#include "dshow/Uuids.h"

// The one property of AMPROPSETID_Pin: the pin's category GUID (read only).
inline constexpr DWORD AMPROPERTY_PIN_CATEGORY = 0;

// IKsPropertySet::QuerySupported flags.
inline constexpr DWORD KSPROPERTY_SUPPORT_GET = 0x00000001;
inline constexpr DWORD KSPROPERTY_SUPPORT_SET = 0x00000002;

/// The kernel-streaming property header that opens every property buffer
/// (24 bytes: set, id, flags).
struct KSPROPERTY
{
    GUID Set;
    ULONG Id;
    ULONG Flags;
};
static_assert(sizeof(KSPROPERTY) == 24);

/// Value of one video processing amplifier property.
struct KSPROPERTY_VIDEOPROCAMP_S
{
    KSPROPERTY Property;
    LONG Value;
    ULONG Flags;
    ULONG Capabilities;
    ULONG Reserved;
};
static_assert(sizeof(KSPROPERTY_VIDEOPROCAMP_S) == 40);

struct IKsPropertySet : IUnknown
{
    /// pInstanceData/cbInstanceData and pPropData/cbPropData as the property's
    /// layout defines them; a Get reports the bytes it wrote in *pcbReturned.
    virtual HRESULT Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData,
                        DWORD cbInstanceData, LPVOID pPropData, DWORD cbPropData) = 0;
    virtual HRESULT Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData,
                        DWORD cbInstanceData, LPVOID pPropData, DWORD cbPropData,
                        DWORD* pcbReturned) = 0;
    /// KSPROPERTY_SUPPORT_GET and/or KSPROPERTY_SUPPORT_SET in *pTypeSupport.
    virtual HRESULT QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport) = 0;

protected:
    ~IKsPropertySet() = default;
};
DECLARE_INTERFACE_IID(IKsPropertySet, IID_IKsPropertySet);

// Video processing amplifier properties; also the property ids of
// PROPSETID_VIDCAP_VIDEOPROCAMP (KSPROPERTY_VIDEOPROCAMP_*).
enum VideoProcAmpProperty : LONG
{
    VideoProcAmp_Brightness = 0,
    VideoProcAmp_Contrast = 1,
    VideoProcAmp_Hue = 2,
    VideoProcAmp_Saturation = 3,
    VideoProcAmp_Sharpness = 4,
    VideoProcAmp_Gamma = 5,
    VideoProcAmp_ColorEnable = 6,
    VideoProcAmp_WhiteBalance = 7,
    VideoProcAmp_BacklightCompensation = 8,
    VideoProcAmp_Gain = 9,
};

enum VideoProcAmpFlags : LONG
{
    VideoProcAmp_Flags_Auto = 0x0001,
    VideoProcAmp_Flags_Manual = 0x0002,
};

struct IAMVideoProcAmp : IUnknown
{
    virtual HRESULT GetRange(LONG Property, LONG* pMin, LONG* pMax, LONG* pSteppingDelta,
                             LONG* pDefault, LONG* pCapsFlags) = 0;
    virtual HRESULT Set(LONG Property, LONG lValue, LONG Flags) = 0;
    virtual HRESULT Get(LONG Property, LONG* lValue, LONG* Flags) = 0;

protected:
    ~IAMVideoProcAmp() = default;
};
DECLARE_INTERFACE_IID(IAMVideoProcAmp, IID_IAMVideoProcAmp);

// Analog video standards (AnalogVideoStandard), a bit each.
enum AnalogVideoStandard : LONG
{
    AnalogVideo_None = 0x00000000,
    AnalogVideo_NTSC_M = 0x00000001,
    AnalogVideo_NTSC_M_J = 0x00000002,
    AnalogVideo_NTSC_433 = 0x00000004,
    AnalogVideo_PAL_B = 0x00000010,
    AnalogVideo_PAL_D = 0x00000020,
    AnalogVideo_PAL_G = 0x00000040,
    AnalogVideo_PAL_H = 0x00000080,
    AnalogVideo_PAL_I = 0x00000100,
    AnalogVideo_PAL_M = 0x00000200,
    AnalogVideo_PAL_N = 0x00000400,
    AnalogVideo_PAL_60 = 0x00000800,
    AnalogVideo_SECAM_B = 0x00001000,
    AnalogVideo_SECAM_D = 0x00002000,
    AnalogVideo_SECAM_G = 0x00004000,
    AnalogVideo_SECAM_H = 0x00008000,
    AnalogVideo_SECAM_K = 0x00010000,
    AnalogVideo_SECAM_K1 = 0x00020000,
    AnalogVideo_SECAM_L = 0x00040000,
    AnalogVideo_SECAM_L1 = 0x00080000,
    AnalogVideo_PAL_N_COMBO = 0x00100000,
};
inline constexpr LONG AnalogVideo_NTSC_Mask = 0x00000007;
inline constexpr LONG AnalogVideo_PAL_Mask = 0x00100FF0;
inline constexpr LONG AnalogVideo_SECAM_Mask = 0x000FF000;

struct IAMAnalogVideoDecoder : IUnknown
{
    /// Bit mask of the AnalogVideoStandard values the decoder supports.
    virtual HRESULT get_AvailableTVFormats(LONG* lAnalogVideoStandard) = 0;
    virtual HRESULT put_TVFormat(LONG lAnalogVideoStandard) = 0;
    virtual HRESULT get_TVFormat(LONG* plAnalogVideoStandard) = 0;
    virtual HRESULT get_HorizontalLocked(LONG* plLocked) = 0;
    virtual HRESULT put_VCRHorizontalLocking(LONG lVCRHorizontalLocking) = 0;
    virtual HRESULT get_VCRHorizontalLocking(LONG* plVCRHorizontalLocking) = 0;
    virtual HRESULT get_NumberOfLines(LONG* plNumberOfLines) = 0;
    virtual HRESULT put_OutputEnable(LONG lOutputEnable) = 0;
    virtual HRESULT get_OutputEnable(LONG* plOutputEnable) = 0;

protected:
    ~IAMAnalogVideoDecoder() = default;
};
DECLARE_INTERFACE_IID(IAMAnalogVideoDecoder, IID_IAMAnalogVideoDecoder);

// Physical connector types of crossbar pins (PhysicalConnectorType).
enum PhysicalConnectorType : LONG
{
    PhysConn_Video_Tuner = 1,
    PhysConn_Video_Composite = 2,
    PhysConn_Video_SVideo = 3,
    PhysConn_Video_RGB = 4,
    PhysConn_Video_YRYBY = 5,
    PhysConn_Video_SerialDigital = 6,
    PhysConn_Video_ParallelDigital = 7,
    PhysConn_Video_SCSI = 8,
    PhysConn_Video_AUX = 9,
    PhysConn_Video_1394 = 10,
    PhysConn_Video_USB = 11,
    PhysConn_Video_VideoDecoder = 12,
    PhysConn_Video_VideoEncoder = 13,
    PhysConn_Video_SCART = 14,
    PhysConn_Video_Black = 15,
    PhysConn_Audio_Tuner = 0x1000,
    PhysConn_Audio_Line = 0x1001,
    PhysConn_Audio_Mic = 0x1002,
    PhysConn_Audio_AESDigital = 0x1003,
    PhysConn_Audio_SPDIFDigital = 0x1004,
    PhysConn_Audio_SCSI = 0x1005,
    PhysConn_Audio_AUX = 0x1006,
    PhysConn_Audio_1394 = 0x1007,
    PhysConn_Audio_USB = 0x1008,
    PhysConn_Audio_AudioDecoder = 0x1009,
};

struct IAMCrossbar : IUnknown
{
    virtual HRESULT get_PinCounts(LONG* OutputPinCount, LONG* InputPinCount) = 0;
    /// S_OK when the input can be routed to the output, S_FALSE when not.
    virtual HRESULT CanRoute(LONG OutputPinIndex, LONG InputPinIndex) = 0;
    virtual HRESULT Route(LONG OutputPinIndex, LONG InputPinIndex) = 0;
    /// -1 when nothing is routed to the output.
    virtual HRESULT get_IsRoutedTo(LONG OutputPinIndex, LONG* InputPinIndex) = 0;
    virtual HRESULT get_CrossbarPinInfo(BOOL IsInputPin, LONG PinIndex, LONG* PinIndexRelated,
                                        LONG* PhysicalType) = 0;

protected:
    ~IAMCrossbar() = default;
};
DECLARE_INTERFACE_IID(IAMCrossbar, IID_IAMCrossbar);

struct IAMDroppedFrames : IUnknown
{
    virtual HRESULT GetNumDropped(LONG* plDropped) = 0;
    virtual HRESULT GetNumNotDropped(LONG* plNotDropped) = 0;
    /// Frame numbers of up to lSize dropped frames, oldest first.
    virtual HRESULT GetDroppedInfo(LONG lSize, LONG* plArray, LONG* plNumCopied) = 0;
    /// Average size in bytes of the frames captured so far.
    virtual HRESULT GetAverageFrameSize(LONG* plAverageSize) = 0;

protected:
    ~IAMDroppedFrames() = default;
};
DECLARE_INTERFACE_IID(IAMDroppedFrames, IID_IAMDroppedFrames);
