#include "BaseObject.h"

std::atomic<LONG> CBaseObject::m_cObjects{0};

CBaseObject::CBaseObject(LPCTSTR /*pName*/)
{
    ++m_cObjects;
}

CBaseObject::CBaseObject(const CBaseObject&)
{
    ++m_cObjects;
}

CBaseObject::~CBaseObject()
{
    --m_cObjects;
}
