#pragma once

#include <memory>

class CAudioFactory;
class CVideoFactory;
class CPesFactory;
class CC3Factory;

// The process-wide registry of element factories. Elements ask it for a factory at the moment
// they need a child, so every parse uses the factories installed at that time. The setters are
// meant for set-up, before parsing starts; parsing threads only read the pointers.
class CSingletonManager
{
public:
    // Safe to call from other static initialisers: the registry is built on first use and
    // destroyed once, at exit.
    static CSingletonManager& Instance();

    CSingletonManager(const CSingletonManager&) = delete;
    CSingletonManager& operator=(const CSingletonManager&) = delete;

    CAudioFactory* AudioFactory() const { return m_pAudioFactory.get(); }
    CVideoFactory* VideoFactory() const { return m_pVideoFactory.get(); }
    CPesFactory* PesFactory() const { return m_pPesFactory.get(); }
    CC3Factory* C3Factory() const { return m_pC3Factory.get(); }

    // Each setter releases the factory held so far and takes ownership of the new one, which is
    // the default factory or a class derived from it.
    template <class TFactory> void SetAudioFactory(std::unique_ptr<TFactory> pFactory)
    {
        m_pAudioFactory = std::move(pFactory);
    }
    template <class TFactory> void SetVideoFactory(std::unique_ptr<TFactory> pFactory)
    {
        m_pVideoFactory = std::move(pFactory);
    }
    template <class TFactory> void SetPesFactory(std::unique_ptr<TFactory> pFactory)
    {
        m_pPesFactory = std::move(pFactory);
    }
    template <class TFactory> void SetC3Factory(std::unique_ptr<TFactory> pFactory)
    {
        m_pC3Factory = std::move(pFactory);
    }

private:
    CSingletonManager();
    ~CSingletonManager();

    // Held as shared_ptr so that the deleter is bound where the factory is made: the registry
    // owns factories whose classes it only forward-declares, and a derived factory is deleted
    // as what it is. Only the registry holds them.
    std::shared_ptr<CAudioFactory> m_pAudioFactory;
    std::shared_ptr<CVideoFactory> m_pVideoFactory;
    std::shared_ptr<CPesFactory> m_pPesFactory;
    std::shared_ptr<CC3Factory> m_pC3Factory;
};
