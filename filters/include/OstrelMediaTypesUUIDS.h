#pragma once

// Media subtypes and the format type of the system's own streams.

#include <com/Guid.h>

// MEDIATYPE_Video: MPEG video cut into units, each with a C3 video unit header.
// {89B2ABEB-1D5A-455A-9262-50C527C118C4}
DEFINE_GUID(MEDIASUBTYPE_OstrelVideo, 0x89B2ABEB, 0x1D5A, 0x455A, 0x92, 0x62, 0x50, 0xC5, 0x27,
            0xC1, 0x18, 0xC4);

// MEDIATYPE_Audio: audio units, each opening with a 0xDEADCAFE header.
// {F61A3887-6089-4F7A-BE72-204136AEAB8F}
DEFINE_GUID(MEDIASUBTYPE_OstrelAudio, 0xF61A3887, 0x6089, 0x4F7A, 0xBE, 0x72, 0x20, 0x41, 0x36,
            0xAE, 0xAB, 0x8F);

// MEDIATYPE_Stream: a C3 stream.
// {F5B27AF7-66A1-434C-B3DD-FC086CE866EC}
DEFINE_GUID(MEDIASUBTYPE_C3Stream, 0xF5B27AF7, 0x66A1, 0x434C, 0xB3, 0xDD, 0xFC, 0x08, 0x6C, 0xE8,
            0x66, 0xEC);

// Format of the C3 stream media type; its format block is 1 byte.
// {FE23C78F-194A-4B10-BAC0-FE7878701C33}
DEFINE_GUID(FORMAT_C3Stream, 0xFE23C78F, 0x194A, 0x4B10, 0xBA, 0xC0, 0xFE, 0x78, 0x78, 0x70, 0x1C,
            0x33);
