#pragma once

// The commands of kstest besides convert. Each takes the arguments after its name
// and returns the program's exit status.

#include <string>
#include <vector>

// Exit statuses shared by the commands.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int RunDevicesCommand(const std::vector<std::string>& args);
int RunSettingsCommand(const std::vector<std::string>& args);
int RunCaptureCommand(const std::vector<std::string>& args);
int RunPlayCommand(const std::vector<std::string>& args);
int RunDeviceConfigCommand(const std::vector<std::string>& args);
int RunDeviceFaultCommand(const std::vector<std::string>& args);

// Prints the usage error for a command on standard error; returns kExitUsage.
int UsageError(const std::string& problem);
