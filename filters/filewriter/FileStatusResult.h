#pragma once

#include "FileStatus.h"

#include "com/HResult.h"

// The result code a filter reports for a segment file operation.
inline HRESULT HResultFromFileStatus(const FileStatus& status)
{
    switch (status.kind)
    {
    case FileStatus::Kind::Ok:
        return S_OK;
    case FileStatus::Kind::InvalidName:
        return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    case FileStatus::Kind::SystemError:
        break;
    }
    return HResultFromErrno(status.errorNumber);
}
