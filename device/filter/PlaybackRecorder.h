#pragma once
// Writes what the playback pin receives to a file, byte for byte, straight from
// the samples. Every write reaches the file at once, so the recording is complete
// when the graph reports the end of the stream.

#include <com/HResult.h>

#include <cstddef>
#include <cstdint>
#include <string>

class PlaybackRecorder
{
public:
    PlaybackRecorder() = default;
    ~PlaybackRecorder();
    PlaybackRecorder(const PlaybackRecorder&) = delete;
    PlaybackRecorder& operator=(const PlaybackRecorder&) = delete;

    // Creates or empties the file.
    HRESULT Open(const std::string& path);
    // Does nothing while no file is open.
    HRESULT Write(const std::uint8_t* pData, std::size_t cbData);
    HRESULT Close();

private:
    int m_fd = -1;
};
