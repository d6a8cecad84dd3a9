#include "c3stream/singleton_manager.h"

#include "c3stream/c3_stream.h"

// One default factory of each kind. The audio, video and PES slots stay empty until those
// formats are part of the library.
CSingletonManager::CSingletonManager() : m_pC3Factory(std::make_shared<CC3Factory>())
{
}

CSingletonManager::~CSingletonManager() = default;

CSingletonManager& CSingletonManager::Instance()
{
    static CSingletonManager s_instance;
    return s_instance;
}
