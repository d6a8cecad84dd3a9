#pragma once

// The demultiplexer's two preview pins as the capture preview makes them: the
// media types it gives, and the stream id maps it sets.

#include "streams.h"

// What the capture device delivers: MEDIATYPE_Stream / MEDIASUBTYPE_MPEG2_PROGRAM.
CMediaType ProgramStreamType();
// "Video Out": MPEG-2 video in an MPEG2VIDEOINFO block.
CMediaType DemuxVideoType(LONG width, LONG height, REFERENCE_TIME avgTimePerFrame);
// "Audio Out": 16-bit stereo DVD LPCM in a WAVEFORMATEX block.
CMediaType DemuxAudioType(DWORD nSamplesPerSec);

// Makes the pin on the demultiplexer and maps it; the filter keeps the pin.
IPin* CreateMappedPin(IMpeg2Demultiplexer* pDemux, const CMediaType& mt, const wchar_t* pName,
                      ULONG streamId, ULONG substream, int dataOffset);
// "Video Out" mapped to stream 0xE0, "Audio Out" to 0xBD substream 0xA0 after 7 bytes.
IPin* CreateVideoOut(IMpeg2Demultiplexer* pDemux, LONG width, LONG height);
IPin* CreateAudioOut(IMpeg2Demultiplexer* pDemux, DWORD nSamplesPerSec = 48000);
