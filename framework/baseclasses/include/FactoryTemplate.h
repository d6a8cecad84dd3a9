#pragma once

// The class factory table of a module.
//
// Each module defines g_Templates (one CFactoryTemplate per class it serves)
// and g_cTemplates; the module entry points (DllEntry.h) use them to hand out
// class factories and to register the module's filters.

#include "BaseTypes.h"
#include "Unknown.h"

#include <dshow/dshow.h>

// Creates a new object for an outer IUnknown (null when not aggregated).
typedef CUnknown* (*LPFNNewCOMObject)(LPUNKNOWN pUnkOuter, HRESULT* phr);
// Called when the module loads and unloads (bLoading), for class-wide setup.
typedef void (*LPFNInitRoutine)(BOOL bLoading, const CLSID* rclsid);

class CFactoryTemplate
{
public:
    const WCHAR* m_Name;
    const CLSID* m_ClsID;
    LPFNNewCOMObject m_lpfnNew;
    LPFNInitRoutine m_lpfnInit;
    const AMOVIESETUP_FILTER* m_pAMovieSetup_Filter;

    BOOL IsClassID(REFCLSID rclsid) const { return *m_ClsID == rclsid; }
    CUnknown* CreateInstance(LPUNKNOWN pUnk, HRESULT* phr) const { return m_lpfnNew(pUnk, phr); }
};

// Defined by each module.
extern CFactoryTemplate g_Templates[];
extern int g_cTemplates;
