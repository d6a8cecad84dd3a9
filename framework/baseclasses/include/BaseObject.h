#pragma once

// Base of every object a module hands out. It counts the module's live objects,
// which DllCanUnloadNow reads: the base classes are linked into each module with
// hidden symbols, so every module has a count of its own.

#include "BaseTypes.h"

#include <atomic>

class CBaseObject
{
public:
    explicit CBaseObject(LPCTSTR pName = nullptr);
    CBaseObject(const CBaseObject&);
    virtual ~CBaseObject();
    CBaseObject& operator=(const CBaseObject&) = default;

    // Number of objects of this module that are alive.
    static LONG ObjectsActive() { return m_cObjects.load(); }

private:
    static std::atomic<LONG> m_cObjects;
};
