#pragma once

// FFmpeg's libraries log to standard error by default. The stock filters report
// through results and graph events instead, so their log is silenced (once per
// process, on the first filter created).
void SilenceFfmpegLog();
