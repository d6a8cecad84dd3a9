#include "com/HResult.h"

#include <cerrno>

LONG Win32ErrorFromErrno(int errnoValue)
{
    switch (errnoValue)
    {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EFBIG:
        return ERROR_FILE_TOO_LARGE;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EISDIR:
        return ERROR_DIRECTORY;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EBUSY:
    case ETXTBSY:
        return ERROR_BUSY;
    case EPIPE:
        return ERROR_BROKEN_PIPE;
    case ESPIPE:
        return ERROR_SEEK;
    case EIO:
        return ERROR_IO_DEVICE;
    case ENODEV:
    case ENXIO:
        return ERROR_DEVICE_NOT_CONNECTED;
    case EAGAIN:
        return ERROR_BUSY;
    case EINTR:
    case ECANCELED:
        return ERROR_OPERATION_ABORTED;
    case ETIMEDOUT:
        return ERROR_TIMEOUT;
    case ENOSYS:
    case ENOTSUP:
        return ERROR_NOT_SUPPORTED;
    case ELOOP:
        return ERROR_BAD_PATHNAME;
    case EILSEQ:
        return ERROR_NO_UNICODE_TRANSLATION;
    default:
        return ERROR_GEN_FAILURE;
    }
}

HRESULT HResultFromErrno(int errnoValue)
{
    return HRESULT_FROM_WIN32(Win32ErrorFromErrno(errnoValue));
}
