#pragma once

// Every public header of the C3 stream library, for users that want them all.
#include "c3stream/buffer_rw.h"
#include "c3stream/c3_stream.h"
#include "c3stream/c3_stream_checker.h"
#include "c3stream/exceptions.h"
#include "c3stream/processor_interfaces.h"
#include "c3stream/singleton_manager.h"
#include "c3stream/syntax.h"
#include "c3stream/timestamps.h"
