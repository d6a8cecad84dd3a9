#include "HResultText.h"

#include "GraphEvents.h"

#include <com/HResult.h>
#include <dshow/dshow.h>

#include <algorithm>
#include <cstdio>

namespace
{
const char* KnownText(HRESULT hr)
{
    switch (hr)
    {
    case E_FAIL:
        return "unspecified failure";
    case E_OUTOFMEMORY:
        return "out of memory";
    case E_INVALIDARG:
        return "invalid argument or file";
    case E_POINTER:
        return "missing filter or interface";
    case E_NOINTERFACE:
        return "interface not supported";
    case REGDB_E_CLASSNOTREG:
        return "filter class not registered (register the modules with regsvr)";
    case VFW_E_INVALID_FILE_FORMAT:
        return "not an MPEG program stream with audio or video it can read";
    case VFW_E_BUFFER_OVERFLOW:
        return "audio and video lie too far apart in the file to convert";
    case VFW_E_TYPE_NOT_ACCEPTED:
    case VFW_E_NO_ACCEPTABLE_TYPES:
        return "the filters found no media type they both take";
    case VFW_E_NOT_CONNECTED:
        return "a filter is not connected";
    default:
        break;
    }
    switch (hr)
    {
    case HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND):
        return "file not found";
    case HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND):
        return "path not found";
    case HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED):
        return "access denied";
    case HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE):
        return "file name too long";
    case HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND):
        return "a filter module could not be loaded";
    case HRESULT_FROM_WIN32(ERROR_DISK_FULL):
    case HRESULT_FROM_WIN32(ERROR_HANDLE_DISK_FULL):
        return "disk full";
    case HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE):
        return "file too large";
    default:
        return nullptr;
    }
}
} // namespace

std::string DescribeResult(HRESULT hr)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
    const char* pText = KnownText(hr);
    return pText ? std::string(pText) + " (" + code + ")" : std::string("error ") + code;
}

std::string DescribeGraphEvent(long code, long long param1)
{
    const GraphEventEffect effect = EffectOfGraphEvent(LONG(code));
    std::string text = effect.pszMessage     ? effect.pszMessage
                       : code == EC_COMPLETE ? "the stream ended"
                                             : "the graph stopped early";
    // The window's two-line messages read as one line on a console.
    std::replace(text.begin(), text.end(), '\n', ' ');
    if (code == EC_ERRORABORT || code == EC_STREAM_ERROR_STOPPED)
        text += ": " + DescribeResult(HRESULT(param1));
    return text;
}
