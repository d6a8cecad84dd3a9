#pragma once

// The multi-file writer "Lumaro File Writer" and its control interface.

#include <com/Unknown.h>

// {A6D435F0-9518-4B13-9A9C-8062CE52F80C}
DEFINE_GUID(CLSID_LmrFileWriter, 0xA6D435F0, 0x9518, 0x4B13, 0x9A, 0x9C, 0x80, 0x62, 0xCE, 0x52,
            0xF8, 0x0C);

// {22C39536-6E31-45A9-88D2-31E0D45DEE58}
DEFINE_GUID(IID_IMultiFileWriterControl, 0x22C39536, 0x6E31, 0x45A9, 0x88, 0xD2, 0x31, 0xE0, 0xD4,
            0x5D, 0xEE, 0x58);

// Segment size, total size and cutting mode of the multi-file writer. Each
// method returns S_OK.
struct IMultiFileWriterControl : IUnknown
{
    // Segment size limit in KiB (times 1024 bytes); 0 leaves the limit unchanged.
    virtual HRESULT SetSegmentSizeKB(DWORD dwKilobytes) = 0;
    // Stops writing once this many bytes have been written in all.
    virtual HRESULT SetTotalSizeLimit(ULONGLONG cbTotal) = 0;
    // Cut segments only before an MPEG pack start code.
    virtual HRESULT EnablePackAlignedCut() = 0;
    // Cut segments at sample boundaries when they would exceed the limit.
    virtual HRESULT DisablePackAlignedCut() = 0;

protected:
    ~IMultiFileWriterControl() = default;
};
DECLARE_INTERFACE_IID(IMultiFileWriterControl, IID_IMultiFileWriterControl);
