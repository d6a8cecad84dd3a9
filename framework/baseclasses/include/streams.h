#pragma once

// The base classes for filters, in one include.

#include "AMEvent.h"
#include "AMThread.h"
#include "AsyncIo.h"
#include "AsyncOutputPin.h"
#include "AsyncReader.h"
#include "AsyncStream.h"
#include "BaseAllocator.h"
#include "BaseFilter.h"
#include "BaseInputPin.h"
#include "BaseObject.h"
#include "BaseOutputPin.h"
#include "BasePin.h"
#include "BaseTypes.h"
#include "ClassFactory.h"
#include "CritSec.h"
#include "DllEntry.h"
#include "EnumMediaTypes.h"
#include "EnumPins.h"
#include "FactoryTemplate.h"
#include "GenericList.h"
#include "MediaSample.h"
#include "MediaType.h"
#include "MemAllocator.h"
#include "OutputQueue.h"
#include "PosPassThru.h"
#include "QueuedOutputPin.h"
#include "RenderedInputPin.h"
#include "Unknown.h"

#include <dshow/dshow.h>
