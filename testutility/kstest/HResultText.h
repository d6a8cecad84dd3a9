#pragma once

// A short English description of a result code, with the code in hexadecimal.

#include <com/HResult.h>

#include <string>

std::string DescribeResult(HRESULT hr);

// Why a graph event ended an operation, in words (its message and, for the error
// events, the failing result).
std::string DescribeGraphEvent(long code, long long param1);
