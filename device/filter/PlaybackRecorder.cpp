#include "PlaybackRecorder.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

PlaybackRecorder::~PlaybackRecorder()
{
    Close();
}

HRESULT PlaybackRecorder::Open(const std::string& path)
{
    Close();
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return m_fd < 0 ? HResultFromErrno(errno) : S_OK;
}

HRESULT PlaybackRecorder::Write(const std::uint8_t* pData, std::size_t cbData)
{
    while (m_fd >= 0 && cbData > 0)
    {
        const ssize_t cbWritten = ::write(m_fd, pData, cbData);
        if (cbWritten < 0 && errno == EINTR)
            continue;
        if (cbWritten <= 0)
            return HResultFromErrno(cbWritten < 0 ? errno : ENOSPC);
        pData += cbWritten;
        cbData -= static_cast<std::size_t>(cbWritten);
    }
    return S_OK;
}

HRESULT PlaybackRecorder::Close()
{
    if (m_fd < 0)
        return S_OK;
    const int result = ::close(m_fd);
    m_fd = -1;
    return result != 0 ? HResultFromErrno(errno) : S_OK;
}
