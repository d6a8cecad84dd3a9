#pragma once
// Graph event codes (evcode.h values) and IMediaEventEx notification flags.

#include "com/Types.h"

inline constexpr LONG EC_SYSTEMBASE = 0x00;
inline constexpr LONG EC_USER = 0x8000;

inline constexpr LONG EC_COMPLETE = 0x01;
inline constexpr LONG EC_USERABORT = 0x02;
inline constexpr LONG EC_ERRORABORT = 0x03;
inline constexpr LONG EC_TIME = 0x04;
inline constexpr LONG EC_REPAINT = 0x05;
inline constexpr LONG EC_STREAM_ERROR_STOPPED = 0x06;
inline constexpr LONG EC_STREAM_ERROR_STILLPLAYING = 0x07;
inline constexpr LONG EC_ERROR_STILLPLAYING = 0x08;
inline constexpr LONG EC_PALETTE_CHANGED = 0x09;
inline constexpr LONG EC_VIDEO_SIZE_CHANGED = 0x0A;
inline constexpr LONG EC_QUALITY_CHANGE = 0x0B;
inline constexpr LONG EC_SHUTTING_DOWN = 0x0C;
inline constexpr LONG EC_CLOCK_CHANGED = 0x0D;
inline constexpr LONG EC_PAUSED = 0x0E;
inline constexpr LONG EC_OPENING_FILE = 0x10;
inline constexpr LONG EC_BUFFERING_DATA = 0x11;
inline constexpr LONG EC_FULLSCREEN_LOST = 0x12;
inline constexpr LONG EC_ACTIVATE = 0x13;
inline constexpr LONG EC_NEED_RESTART = 0x14;
inline constexpr LONG EC_WINDOW_DESTROYED = 0x15;
inline constexpr LONG EC_DISPLAY_CHANGED = 0x16;
inline constexpr LONG EC_STARVATION = 0x17;
inline constexpr LONG EC_OLE_EVENT = 0x18;
inline constexpr LONG EC_NOTIFY_WINDOW = 0x19;
inline constexpr LONG EC_STREAM_CONTROL_STOPPED = 0x1A;
inline constexpr LONG EC_STREAM_CONTROL_STARTED = 0x1B;
inline constexpr LONG EC_END_OF_SEGMENT = 0x1C;
inline constexpr LONG EC_SEGMENT_STARTED = 0x1D;
inline constexpr LONG EC_LENGTH_CHANGED = 0x1E;
inline constexpr LONG EC_DEVICE_LOST = 0x1F;
inline constexpr LONG EC_STEP_COMPLETE = 0x24;
inline constexpr LONG EC_TIMECODE_AVAILABLE = 0x30;
inline constexpr LONG EC_EXTDEVICE_MODE_CHANGE = 0x31;
inline constexpr LONG EC_STATE_CHANGE = 0x32;
inline constexpr LONG EC_GRAPH_CHANGED = 0x50;
inline constexpr LONG EC_CLOCK_UNSET = 0x51;
// Sound device errors on an input or output pin.
inline constexpr LONG EC_SNDDEV_IN_ERROR = 0x200;
inline constexpr LONG EC_SNDDEV_OUT_ERROR = 0x201;
// How a sound device was being accessed when it failed (SNDDEV_ERR): the first
// parameter of EC_SNDDEV_IN_ERROR and EC_SNDDEV_OUT_ERROR; the second is its error.
enum SNDDEV_ERR : LONG
{
    SNDDEV_ERROR_Open = 1,
    SNDDEV_ERROR_Close = 2,
    SNDDEV_ERROR_GetCaps = 3,
    SNDDEV_ERROR_PrepareHeader = 4,
    SNDDEV_ERROR_UnprepareHeader = 5,
    SNDDEV_ERROR_Reset = 6,
    SNDDEV_ERROR_Restart = 7,
    SNDDEV_ERROR_GetPosition = 8,
    SNDDEV_ERROR_Write = 9,
    SNDDEV_ERROR_Pause = 10,
    SNDDEV_ERROR_Stop = 11,
    SNDDEV_ERROR_Start = 12,
    SNDDEV_ERROR_AddBuffer = 13,
    SNDDEV_ERROR_Query = 14,
};

/// IMediaEventEx::SetNotifyFlags: do not queue events nor call the notification.
inline constexpr LONG AM_MEDIAEVENT_NONOTIFY = 0x01;
