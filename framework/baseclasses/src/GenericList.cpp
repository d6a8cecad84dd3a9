#include "GenericList.h"

#include <new>

struct CListNode
{
    CListNode* pPrev = nullptr;
    CListNode* pNext = nullptr;
    void* pObject = nullptr;
};

CBaseList::CBaseList(int iItems)
{
    for (int i = 0; i < iItems; ++i)
    {
        CListNode* pNode = new (std::nothrow) CListNode;
        if (!pNode)
            break;
        pNode->pNext = m_pCache;
        m_pCache = pNode;
    }
}

CBaseList::~CBaseList()
{
    RemoveAll();
    while (m_pCache)
    {
        CListNode* pNode = m_pCache;
        m_pCache = pNode->pNext;
        delete pNode;
    }
}

POSITION CBaseList::GetHeadPosition() const
{
    return m_pFirst;
}
POSITION CBaseList::GetTailPosition() const
{
    return m_pLast;
}
POSITION CBaseList::Next(POSITION pos) const
{
    return pos ? pos->pNext : nullptr;
}
POSITION CBaseList::Prev(POSITION pos) const
{
    return pos ? pos->pPrev : nullptr;
}

void CBaseList::RemoveAll()
{
    while (m_pFirst)
        RemoveValue(m_pFirst);
}

void* CBaseList::GetValid(POSITION pos) const
{
    return pos ? pos->pObject : nullptr;
}

void* CBaseList::GetNextValue(POSITION& rp) const
{
    if (!rp)
        return nullptr;
    void* pObject = rp->pObject;
    rp = rp->pNext;
    return pObject;
}

CListNode* CBaseList::TakeNode(void* pObject)
{
    CListNode* pNode = m_pCache;
    if (pNode)
        m_pCache = pNode->pNext;
    else
        pNode = new (std::nothrow) CListNode;
    if (pNode)
        *pNode = CListNode{nullptr, nullptr, pObject};
    return pNode;
}

void CBaseList::LinkBefore(CListNode* pNode, CListNode* pNext)
{
    CListNode* pPrev = pNext ? pNext->pPrev : m_pLast;
    pNode->pPrev = pPrev;
    pNode->pNext = pNext;
    (pPrev ? pPrev->pNext : m_pFirst) = pNode;
    (pNext ? pNext->pPrev : m_pLast) = pNode;
    ++m_Count;
}

POSITION CBaseList::AddTailValue(void* pObject)
{
    CListNode* pNode = TakeNode(pObject);
    if (pNode)
        LinkBefore(pNode, nullptr);
    return pNode;
}

POSITION CBaseList::AddHeadValue(void* pObject)
{
    CListNode* pNode = TakeNode(pObject);
    if (pNode)
        LinkBefore(pNode, m_pFirst);
    return pNode;
}

void* CBaseList::RemoveValue(POSITION pos)
{
    if (!pos)
        return nullptr;
    (pos->pPrev ? pos->pPrev->pNext : m_pFirst) = pos->pNext;
    (pos->pNext ? pos->pNext->pPrev : m_pLast) = pos->pPrev;
    --m_Count;
    void* pObject = pos->pObject;
    pos->pPrev = nullptr;
    pos->pNext = m_pCache;
    m_pCache = pos;
    return pObject;
}

POSITION CBaseList::FindValue(const void* pObject) const
{
    for (CListNode* pNode = m_pFirst; pNode; pNode = pNode->pNext)
        if (pNode->pObject == pObject)
            return pNode;
    return nullptr;
}
