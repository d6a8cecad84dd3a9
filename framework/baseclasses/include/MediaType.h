#pragma once

// CMediaType: an AM_MEDIA_TYPE that owns its format block.
//
// The format block is task memory, as in the AM_MEDIA_TYPE structures that
// cross interfaces, so a CMediaType can be handed out with CopyMediaType and a
// structure received from a pin can be assigned to it. Any pUnk reference is
// released with the type.

#include <dshow/dshow.h>

class CMediaType : public AM_MEDIA_TYPE
{
public:
    CMediaType();
    explicit CMediaType(const GUID* majortype);
    CMediaType(const AM_MEDIA_TYPE& rmt, HRESULT* phr = nullptr);
    CMediaType(const CMediaType& rmt, HRESULT* phr = nullptr);
    ~CMediaType();

    CMediaType& operator=(const CMediaType& rmt);
    CMediaType& operator=(const AM_MEDIA_TYPE& rmt);

    // Equal major type, subtype, format type and format block.
    BOOL operator==(const CMediaType& rmt) const;
    BOOL operator!=(const CMediaType& rmt) const { return !(*this == rmt); }

    // Replaces this type by a copy of rmt; E_OUTOFMEMORY if the format block
    // cannot be copied (this type is then left empty).
    HRESULT Set(const CMediaType& rmt);
    HRESULT Set(const AM_MEDIA_TYPE& rmt);

    BOOL IsValid() const { return majortype != GUID_NULL; }

    const GUID* Type() const { return &majortype; }
    void SetType(const GUID* ptype) { majortype = *ptype; }
    const GUID* Subtype() const { return &subtype; }
    void SetSubtype(const GUID* ptype) { subtype = *ptype; }
    const GUID* FormatType() const { return &formattype; }
    void SetFormatType(const GUID* pformattype) { formattype = *pformattype; }

    BOOL IsFixedSize() const { return bFixedSizeSamples; }
    BOOL IsTemporalCompressed() const { return bTemporalCompression; }
    ULONG GetSampleSize() const { return IsFixedSize() ? lSampleSize : 0; }
    void SetSampleSize(ULONG sz);
    void SetVariableSize();
    void SetTemporalCompression(BOOL bCompressed) { bTemporalCompression = bCompressed; }

    BYTE* Format() const { return pbFormat; }
    ULONG FormatLength() const { return cbFormat; }

    // Replaces the format block by a copy of length bytes at pFormat.
    BOOL SetFormat(const BYTE* pFormat, ULONG length);
    // Frees the format block (the format type is kept).
    void ResetFormatBuffer();
    // Makes the format block length bytes long, zero-filled when new; null on failure.
    BYTE* AllocFormatBuffer(ULONG length);
    // As AllocFormatBuffer, keeping the existing bytes that fit.
    BYTE* ReallocFormatBuffer(ULONG length);

    // Back to an empty type: GUID_NULL everywhere, fixed-size samples of 1 byte.
    void InitMediaType();

    // TRUE when the major type or the format type is GUID_NULL: such a type
    // only narrows a choice (a pin connection then tries the pins' own types).
    BOOL IsPartiallySpecified() const;

    // TRUE when every part that ppartial specifies (a GUID not GUID_NULL; the
    // format block whenever its format type is given) equals this type's.
    BOOL MatchesPartial(const CMediaType* ppartial) const;
};
