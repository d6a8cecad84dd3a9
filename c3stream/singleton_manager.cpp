#include "c3stream/singleton_manager.h"

// One default factory of each kind. The audio, video and PES slots stay empty until those
// formats are part of the library; the C3 slot is filled once the container is.
CSingletonManager::CSingletonManager() = default;

CSingletonManager::~CSingletonManager() = default;

CSingletonManager& CSingletonManager::Instance()
{
    static CSingletonManager s_instance;
    return s_instance;
}
