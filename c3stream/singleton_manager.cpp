#include "c3stream/singleton_manager.h"

#include "c3stream/c3_stream.h"
#include "c3stream/es_audio.h"
#include "c3stream/es_video.h"
#include "c3stream/pes.h"

// One default factory of each kind.
CSingletonManager::CSingletonManager()
    : m_pAudioFactory(std::make_shared<CAudioFactory>()),
      m_pVideoFactory(std::make_shared<CVideoFactory>()),
      m_pPesFactory(std::make_shared<CPesFactory>()), m_pC3Factory(std::make_shared<CC3Factory>())
{
}

CSingletonManager::~CSingletonManager() = default;

CSingletonManager& CSingletonManager::Instance()
{
    static CSingletonManager s_instance;
    return s_instance;
}
