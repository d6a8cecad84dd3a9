#pragma once

// A doubly linked list of object pointers with a node cache.
//
// CGenericList<T> keeps T pointers in order; it neither owns nor reference counts
// them. Nodes come from a cache: the constructor preallocates iItems nodes, and a
// node freed by a removal goes back to the cache instead of to the heap, so a list
// whose length stays within what it has held before never allocates. The cache
// grows to the largest length the list ever had and is freed with the list.
//
// The list has no lock of its own; its owner serialises access.

#include "BaseTypes.h"

#include <cstddef>

// Nodes a list keeps ready unless told otherwise.
inline constexpr int DEFAULTCACHE = 10;

// Opaque handle to a node, as the base classes' lists hand it out.
struct CListNode;
typedef CListNode* POSITION;

class CBaseList
{
public:
    CBaseList(const CBaseList&) = delete;
    CBaseList& operator=(const CBaseList&) = delete;

    int GetCount() const { return m_Count; }
    POSITION GetHeadPosition() const;
    POSITION GetTailPosition() const;
    POSITION Next(POSITION pos) const;
    POSITION Prev(POSITION pos) const;
    void RemoveAll();

protected:
    explicit CBaseList(int iItems);
    ~CBaseList();

    void* GetValid(POSITION pos) const;
    void* GetNextValue(POSITION& rp) const;
    POSITION AddTailValue(void* pObject);
    POSITION AddHeadValue(void* pObject);
    void* RemoveValue(POSITION pos);
    POSITION FindValue(const void* pObject) const;

private:
    CListNode* TakeNode(void* pObject);
    void LinkBefore(CListNode* pNode, CListNode* pNext);

    CListNode* m_pFirst = nullptr;
    CListNode* m_pLast = nullptr;
    CListNode* m_pCache = nullptr; // singly linked through pNext
    int m_Count = 0;
};

template <class OBJECT> class CGenericList : public CBaseList
{
public:
    explicit CGenericList(LPCTSTR /*pName*/ = nullptr, int iItems = DEFAULTCACHE, BOOL = TRUE,
                          BOOL = FALSE)
        : CBaseList(iItems)
    {
    }

    // Returns the object at rp and moves rp to the next node (null after the tail).
    OBJECT* GetNext(POSITION& rp) const { return static_cast<OBJECT*>(GetNextValue(rp)); }
    OBJECT* Get(POSITION pos) const { return static_cast<OBJECT*>(GetValid(pos)); }
    OBJECT* GetHead() const { return Get(GetHeadPosition()); }
    OBJECT* GetTail() const { return Get(GetTailPosition()); }

    // Null when no node could be allocated.
    POSITION AddTail(OBJECT* pObject) { return AddTailValue(pObject); }
    POSITION AddHead(OBJECT* pObject) { return AddHeadValue(pObject); }

    // Each returns the removed object, or null when the list is empty.
    OBJECT* RemoveHead() { return static_cast<OBJECT*>(RemoveValue(GetHeadPosition())); }
    OBJECT* RemoveTail() { return static_cast<OBJECT*>(RemoveValue(GetTailPosition())); }
    OBJECT* Remove(POSITION pos) { return static_cast<OBJECT*>(RemoveValue(pos)); }

    POSITION Find(const OBJECT* pObject) const { return FindValue(pObject); }
};
