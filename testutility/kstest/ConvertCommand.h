#pragma once

// `kstest convert IN OUT`: converts an MPEG file (or a .kvx segment list) into a
// C3 stream file through the registered filters, with a progress bar on a
// terminal. Exit status: 0 when the C3 stream file is complete, 1 when the
// conversion failed, 130 when interrupted.

#include <string>

int RunConvertCommand(const std::string& source, const std::string& target);
