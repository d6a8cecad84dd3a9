#pragma once

// A short English description of a result code, with the code in hexadecimal.

#include <com/HResult.h>

#include <string>

std::string DescribeResult(HRESULT hr);
