// Stand-in for the SDK's <mapidefs.h> on systems other than Windows: the
// Extended MAPI base types, property values and the interfaces below the
// session (property objects, containers, folders, stores, messages,
// attachments, tables, address-book entries), with the same names, values,
// layouts and method orders as the Windows SDK headers that MinGW-w64 ships.
//
// Names that the Simple MAPI header <mapi.h> defines as well are guarded so
// that either header may come first.
#ifndef MAPIDEFS_H
#define MAPIDEFS_H

#include <windows.h>

#include <stddef.h>

#ifndef MAPI_DIM
#define MAPI_DIM 1
#endif

#ifndef STDMAPIINITCALLTYPE
#define STDMAPIINITCALLTYPE __cdecl
#define STDINITMETHODIMP HRESULT __cdecl
#define STDINITMETHODIMP_(type) type __cdecl
#endif

#define MAPI_NT_SERVICE ((ULONG)0x00010000)

#ifdef __cplusplus
extern "C" {
#endif

// All text is 8-bit: TCHAR is char.
typedef char TCHAR;
typedef TCHAR* LPTSTR;
typedef const TCHAR* LPCTSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef BYTE* LPBYTE;
typedef ULONG* LPULONG;
typedef GUID* LPGUID;

#ifndef __LHANDLE
#define __LHANDLE
typedef ULONG_PTR LHANDLE, *LPLHANDLE;
#endif

#ifndef BEGIN_INTERFACE
#define BEGIN_INTERFACE
#endif

#define MAPI_MODIFY ((ULONG)0x00000001)

#define MAPI_ACCESS_MODIFY ((ULONG)0x00000001)
#define MAPI_ACCESS_READ ((ULONG)0x00000002)
#define MAPI_ACCESS_DELETE ((ULONG)0x00000004)
#define MAPI_ACCESS_CREATE_HIERARCHY ((ULONG)0x00000008)
#define MAPI_ACCESS_CREATE_CONTENTS ((ULONG)0x00000010)
#define MAPI_ACCESS_CREATE_ASSOCIATED ((ULONG)0x00000020)

#define MAPI_UNICODE ((ULONG)0x80000000)
#define fMapiUnicode 0

#define hrSuccess 0

#ifndef MAPI_ORIG
#define MAPI_ORIG 0
#define MAPI_TO 1
#define MAPI_CC 2
#define MAPI_BCC 3
#define MAPI_P1 0x10000000
#define MAPI_SUBMITTED 0x80000000
#endif

#define MAPI_SHORTTERM 0x80
#define MAPI_NOTRECIP 0x40
#define MAPI_THISSESSION 0x20
#define MAPI_NOW 0x10
#define MAPI_NOTRESERVED 0x08

#define MAPI_COMPOUND 0x80

typedef struct {
    BYTE abFlags[4];
    BYTE ab[MAPI_DIM];
} ENTRYID, *LPENTRYID;

#define CbNewENTRYID(_cb) (offsetof(ENTRYID, ab) + (_cb))
#define CbENTRYID(_cb) (offsetof(ENTRYID, ab) + (_cb))

typedef struct _MAPIUID {
    BYTE ab[16];
} MAPIUID, *LPMAPIUID;

#define IsEqualMAPIUID(lpuid1, lpuid2) (!memcmp(lpuid1, lpuid2, sizeof(MAPIUID)))

#define MAPI_ONE_OFF_UID                                                                          \
    {                                                                                             \
        0x81, 0x2b, 0x1f, 0xa4, 0xbe, 0xa3, 0x10, 0x19, 0x9d, 0x6e, 0x00, 0xdd, 0x01, 0x0f, 0x54, \
            0x02                                                                                  \
    }
#define MAPI_ONE_OFF_UNICODE 0x8000
#define MAPI_ONE_OFF_NO_RICH_INFO 0x0001

// Object types.
#define MAPI_STORE ((ULONG)0x00000001)
#define MAPI_ADDRBOOK ((ULONG)0x00000002)
#define MAPI_FOLDER ((ULONG)0x00000003)
#define MAPI_ABCONT ((ULONG)0x00000004)
#define MAPI_MESSAGE ((ULONG)0x00000005)
#define MAPI_MAILUSER ((ULONG)0x00000006)
#define MAPI_ATTACH ((ULONG)0x00000007)
#define MAPI_DISTLIST ((ULONG)0x00000008)
#define MAPI_PROFSECT ((ULONG)0x00000009)
#define MAPI_STATUS ((ULONG)0x0000000A)
#define MAPI_SESSION ((ULONG)0x0000000B)
#define MAPI_FORMINFO ((ULONG)0x0000000C)

#ifndef cchProfileNameMax
#define cchProfileNameMax 64
#define cchProfilePassMax 64
#endif

// Property types.
#define MV_FLAG 0x1000

#define PT_UNSPECIFIED ((ULONG)0)
#define PT_NULL ((ULONG)1)
#define PT_I2 ((ULONG)2)
#define PT_LONG ((ULONG)3)
#define PT_R4 ((ULONG)4)
#define PT_DOUBLE ((ULONG)5)
#define PT_CURRENCY ((ULONG)6)
#define PT_APPTIME ((ULONG)7)
#define PT_ERROR ((ULONG)10)
#define PT_BOOLEAN ((ULONG)11)
#define PT_OBJECT ((ULONG)13)
#define PT_I8 ((ULONG)20)
#define PT_STRING8 ((ULONG)30)
#define PT_UNICODE ((ULONG)31)
#define PT_SYSTIME ((ULONG)64)
#define PT_CLSID ((ULONG)72)
#define PT_BINARY ((ULONG)258)

#define PT_SHORT PT_I2
#define PT_I4 PT_LONG
#define PT_FLOAT PT_R4
#define PT_R8 PT_DOUBLE
#define PT_LONGLONG PT_I8

#define PT_TSTRING PT_STRING8
#define PT_MV_TSTRING (MV_FLAG | PT_STRING8)
#define LPSZ lpszA
#define LPPSZ lppszA
#define MVSZ MVszA

#define PROP_TYPE_MASK ((ULONG)0x0000FFFF)
#define PROP_TYPE(ulPropTag) (((ULONG)(ulPropTag)) & PROP_TYPE_MASK)
#define PROP_ID(ulPropTag) (((ULONG)(ulPropTag)) >> 16)
#define PROP_TAG(ulPropType, ulPropID) ((((ULONG)(ulPropID)) << 16) | ((ULONG)(ulPropType)))
#define PROP_ID_NULL 0
#define PROP_ID_INVALID 0xFFFF
#define PR_NULL PROP_TAG(PT_NULL, PROP_ID_NULL)
#define CHANGE_PROP_TYPE(ulPropTag, ulPropType) (((ULONG)0xFFFF0000 & ulPropTag) | ulPropType)

#define PT_MV_I2 (MV_FLAG | PT_I2)
#define PT_MV_LONG (MV_FLAG | PT_LONG)
#define PT_MV_R4 (MV_FLAG | PT_R4)
#define PT_MV_DOUBLE (MV_FLAG | PT_DOUBLE)
#define PT_MV_CURRENCY (MV_FLAG | PT_CURRENCY)
#define PT_MV_APPTIME (MV_FLAG | PT_APPTIME)
#define PT_MV_SYSTIME (MV_FLAG | PT_SYSTIME)
#define PT_MV_STRING8 (MV_FLAG | PT_STRING8)
#define PT_MV_BINARY (MV_FLAG | PT_BINARY)
#define PT_MV_UNICODE (MV_FLAG | PT_UNICODE)
#define PT_MV_CLSID (MV_FLAG | PT_CLSID)
#define PT_MV_I8 (MV_FLAG | PT_I8)

typedef struct _SPropTagArray {
    ULONG cValues;
    ULONG aulPropTag[MAPI_DIM];
} SPropTagArray, *LPSPropTagArray;

#define CbNewSPropTagArray(_ctag) (offsetof(SPropTagArray, aulPropTag) + (_ctag) * sizeof(ULONG))
#define CbSPropTagArray(_lparray) \
    (offsetof(SPropTagArray, aulPropTag) + (UINT)((_lparray)->cValues) * sizeof(ULONG))
#define SizedSPropTagArray(_ctag, _name) \
    struct _SPropTagArray_##_name {      \
        ULONG cValues;                   \
        ULONG aulPropTag[_ctag];         \
    } _name

typedef struct _SPropValue SPropValue;

#ifndef _tagCY_DEFINED
#define _tagCY_DEFINED
#define _CY_DEFINED
typedef union tagCY {
    struct {
        ULONG Lo;
        LONG Hi;
    };
    LONGLONG int64;
} CY;
#endif

typedef CY CURRENCY;

typedef struct _SBinary {
    ULONG cb;
    LPBYTE lpb;
} SBinary, *LPSBinary;

typedef struct _SShortArray {
    ULONG cValues;
    short int* lpi;
} SShortArray;

typedef struct _SGuidArray {
    ULONG cValues;
    GUID* lpguid;
} SGuidArray;

typedef struct _SRealArray {
    ULONG cValues;
    float* lpflt;
} SRealArray;

typedef struct _SLongArray {
    ULONG cValues;
    LONG* lpl;
} SLongArray;

typedef struct _SLargeIntegerArray {
    ULONG cValues;
    LARGE_INTEGER* lpli;
} SLargeIntegerArray;

typedef struct _SDateTimeArray {
    ULONG cValues;
    FILETIME* lpft;
} SDateTimeArray;

typedef struct _SAppTimeArray {
    ULONG cValues;
    double* lpat;
} SAppTimeArray;

typedef struct _SCurrencyArray {
    ULONG cValues;
    CURRENCY* lpcur;
} SCurrencyArray;

typedef struct _SBinaryArray {
    ULONG cValues;
    SBinary* lpbin;
} SBinaryArray;

typedef struct _SDoubleArray {
    ULONG cValues;
    double* lpdbl;
} SDoubleArray;

typedef struct _SWStringArray {
    ULONG cValues;
    LPWSTR* lppszW;
} SWStringArray;

typedef struct _SLPSTRArray {
    ULONG cValues;
    LPSTR* lppszA;
} SLPSTRArray;

typedef union _PV {
    short int i;
    LONG l;
    ULONG ul;
    float flt;
    double dbl;
    unsigned short int b;
    CURRENCY cur;
    double at;
    FILETIME ft;
    LPSTR lpszA;
    SBinary bin;
    LPWSTR lpszW;
    LPGUID lpguid;
    LARGE_INTEGER li;
    SShortArray MVi;
    SLongArray MVl;
    SRealArray MVflt;
    SDoubleArray MVdbl;
    SCurrencyArray MVcur;
    SAppTimeArray MVat;
    SDateTimeArray MVft;
    SBinaryArray MVbin;
    SLPSTRArray MVszA;
    SWStringArray MVszW;
    SGuidArray MVguid;
    SLargeIntegerArray MVli;
    SCODE err;
    LONG x;
} __UPV;

typedef struct _SPropValue {
    ULONG ulPropTag;
    ULONG dwAlignPad;
    union _PV Value;
} SPropValue, *LPSPropValue;

typedef struct _SPropProblem {
    ULONG ulIndex;
    ULONG ulPropTag;
    SCODE scode;
} SPropProblem, *LPSPropProblem;

typedef struct _SPropProblemArray {
    ULONG cProblem;
    SPropProblem aProblem[MAPI_DIM];
} SPropProblemArray, *LPSPropProblemArray;

#define CbNewSPropProblemArray(_cprob) \
    (offsetof(SPropProblemArray, aProblem) + (_cprob) * sizeof(SPropProblem))
#define CbSPropProblemArray(_lparray) \
    (offsetof(SPropProblemArray, aProblem) + (UINT)((_lparray)->cProblem * sizeof(SPropProblem)))

typedef SBinaryArray ENTRYLIST, *LPENTRYLIST;

typedef struct _ADRENTRY {
    ULONG ulReserved1;
    ULONG cValues;
    LPSPropValue rgPropVals;
} ADRENTRY, *LPADRENTRY;

typedef struct _ADRLIST {
    ULONG cEntries;
    ADRENTRY aEntries[MAPI_DIM];
} ADRLIST, *LPADRLIST;

#define CbNewADRLIST(_centries) (offsetof(ADRLIST, aEntries) + (_centries) * sizeof(ADRENTRY))
#define CbADRLIST(_lpadrlist) \
    (offsetof(ADRLIST, aEntries) + (UINT)(_lpadrlist)->cEntries * sizeof(ADRENTRY))
#define SizedADRLIST(_centries, _name) \
    struct _ADRLIST_##_name {          \
        ULONG cEntries;                \
        ADRENTRY aEntries[_centries];  \
    } _name

typedef struct _SRow {
    ULONG ulAdrEntryPad;
    ULONG cValues;
    LPSPropValue lpProps;
} SRow, *LPSRow;

typedef struct _SRowSet {
    ULONG cRows;
    SRow aRow[MAPI_DIM];
} SRowSet, *LPSRowSet;

#define CbNewSRowSet(_crow) (offsetof(SRowSet, aRow) + (_crow) * sizeof(SRow))
#define CbSRowSet(_lprowset) (offsetof(SRowSet, aRow) + (UINT)((_lprowset)->cRows * sizeof(SRow)))
#define SizedSRowSet(_crow, _name) \
    struct _SRowSet_##_name {      \
        ULONG cRows;               \
        SRow aRow[_crow];          \
    } _name

typedef SCODE(WINAPI ALLOCATEBUFFER)(ULONG cbSize, LPVOID* lppBuffer);
typedef SCODE(WINAPI ALLOCATEMORE)(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer);
typedef ULONG(WINAPI FREEBUFFER)(LPVOID lpBuffer);

typedef ALLOCATEBUFFER* LPALLOCATEBUFFER;
typedef ALLOCATEMORE* LPALLOCATEMORE;
typedef FREEBUFFER* LPFREEBUFFER;

#define DECLARE_MAPI_INTERFACE_PTR(iface, piface) \
    struct iface;                                 \
    typedef iface* piface

#define MAPIMETHOD(method) MAPIMETHOD_(HRESULT, method)
#define MAPIMETHOD_(type, method) STDMETHOD_(type, method)

DECLARE_MAPI_INTERFACE_PTR(IMsgStore, LPMDB);
DECLARE_MAPI_INTERFACE_PTR(IMAPIFolder, LPMAPIFOLDER);
DECLARE_MAPI_INTERFACE_PTR(IMessage, LPMESSAGE);
DECLARE_MAPI_INTERFACE_PTR(IAttach, LPATTACH);
DECLARE_MAPI_INTERFACE_PTR(IAddrBook, LPADRBOOK);
DECLARE_MAPI_INTERFACE_PTR(IABContainer, LPABCONT);
DECLARE_MAPI_INTERFACE_PTR(IMailUser, LPMAILUSER);
DECLARE_MAPI_INTERFACE_PTR(IDistList, LPDISTLIST);
DECLARE_MAPI_INTERFACE_PTR(IMAPIStatus, LPMAPISTATUS);
DECLARE_MAPI_INTERFACE_PTR(IMAPITable, LPMAPITABLE);
DECLARE_MAPI_INTERFACE_PTR(IProfSect, LPPROFSECT);
DECLARE_MAPI_INTERFACE_PTR(IMAPIProp, LPMAPIPROP);
DECLARE_MAPI_INTERFACE_PTR(IMAPIContainer, LPMAPICONTAINER);
DECLARE_MAPI_INTERFACE_PTR(IMAPIAdviseSink, LPMAPIADVISESINK);
DECLARE_MAPI_INTERFACE_PTR(IMAPIProgress, LPMAPIPROGRESS);
DECLARE_MAPI_INTERFACE_PTR(IProviderAdmin, LPPROVIDERADMIN);

typedef struct _MAPIERROR {
    ULONG ulVersion;
    LPTSTR lpszError;
    LPTSTR lpszComponent;
    ULONG ulLowLevelError;
    ULONG ulContext;
} MAPIERROR, *LPMAPIERROR;

// Notifications are never registered here; the record is only named in
// method signatures.
typedef struct _NOTIFICATION NOTIFICATION, *LPNOTIFICATION;

#define MAPI_ERROR_VERSION 0x00000000L

#define KEEP_OPEN_READONLY ((ULONG)0x00000001)
#define KEEP_OPEN_READWRITE ((ULONG)0x00000002)
#define FORCE_SAVE ((ULONG)0x00000004)

#define MAPI_CREATE ((ULONG)0x00000002)
#define STREAM_APPEND ((ULONG)0x00000004)

#define MAPI_MOVE ((ULONG)0x00000001)
#define MAPI_NOREPLACE ((ULONG)0x00000002)
#define MAPI_DECLINE_OK ((ULONG)0x00000004)

#ifndef MAPI_DIALOG
#define MAPI_DIALOG ((ULONG)0x00000008)
#endif

#ifndef MAPI_USE_DEFAULT
#define MAPI_USE_DEFAULT 0x00000040
#endif

#define MAPI_NO_STRINGS ((ULONG)0x00000001)
#define MAPI_NO_IDS ((ULONG)0x00000002)

#define MNID_ID 0
#define MNID_STRING 1
typedef struct _MAPINAMEID {
    LPGUID lpguid;
    ULONG ulKind;
    union {
        LONG lID;
        LPWSTR lpwstrName;
    } Kind;
} MAPINAMEID, *LPMAPINAMEID;

// IMAPIProp: the property interface every MAPI object derives from.
struct IMAPIProp : public IUnknown {
    MAPIMETHOD(GetLastError)(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) = 0;
    MAPIMETHOD(SaveChanges)(ULONG ulFlags) = 0;
    MAPIMETHOD(GetProps)
    (LPSPropTagArray lpPropTagArray, ULONG ulFlags, ULONG* lpcValues,
     LPSPropValue* lppPropArray) = 0;
    MAPIMETHOD(GetPropList)(ULONG ulFlags, LPSPropTagArray* lppPropTagArray) = 0;
    MAPIMETHOD(OpenProperty)
    (ULONG ulPropTag, LPCIID lpiid, ULONG ulInterfaceOptions, ULONG ulFlags, LPUNKNOWN* lppUnk) = 0;
    MAPIMETHOD(SetProps)
    (ULONG cValues, LPSPropValue lpPropArray, LPSPropProblemArray* lppProblems) = 0;
    MAPIMETHOD(DeleteProps)(LPSPropTagArray lpPropTagArray, LPSPropProblemArray* lppProblems) = 0;
    MAPIMETHOD(CopyTo)
    (ULONG ciidExclude, LPCIID rgiidExclude, LPSPropTagArray lpExcludeProps, ULONG ulUIParam,
     LPMAPIPROGRESS lpProgress, LPCIID lpInterface, LPVOID lpDestObj, ULONG ulFlags,
     LPSPropProblemArray* lppProblems) = 0;
    MAPIMETHOD(CopyProps)
    (LPSPropTagArray lpIncludeProps, ULONG ulUIParam, LPMAPIPROGRESS lpProgress, LPCIID lpInterface,
     LPVOID lpDestObj, ULONG ulFlags, LPSPropProblemArray* lppProblems) = 0;
    MAPIMETHOD(GetNamesFromIDs)
    (LPSPropTagArray* lppPropTags, LPGUID lpPropSetGuid, ULONG ulFlags, ULONG* lpcPropNames,
     LPMAPINAMEID** lpppPropNames) = 0;
    MAPIMETHOD(GetIDsFromNames)
    (ULONG cPropNames, LPMAPINAMEID* lppPropNames, ULONG ulFlags, LPSPropTagArray* lppPropTags) = 0;

protected:
    ~IMAPIProp() = default;
};

// Tables.
typedef struct _SSortOrder {
    ULONG ulPropTag;
    ULONG ulOrder;
} SSortOrder, *LPSSortOrder;

typedef struct _SSortOrderSet {
    ULONG cSorts;
    ULONG cCategories;
    ULONG cExpanded;
    SSortOrder aSort[MAPI_DIM];
} SSortOrderSet, *LPSSortOrderSet;

typedef ULONG BOOKMARK;

#define BOOKMARK_BEGINNING ((BOOKMARK)0)
#define BOOKMARK_CURRENT ((BOOKMARK)1)
#define BOOKMARK_END ((BOOKMARK)2)

#define TBL_ALL_COLUMNS ((ULONG)0x00000001)
#define TBL_LEAF_ROW ((ULONG)1)
#define TBL_EMPTY_CATEGORY ((ULONG)2)
#define TBL_EXPANDED_CATEGORY ((ULONG)3)
#define TBL_COLLAPSED_CATEGORY ((ULONG)4)
#define TBL_NOWAIT ((ULONG)0x00000001)
#define TBL_ASYNC ((ULONG)0x00000001)
#define TBL_BATCH ((ULONG)0x00000002)
#define TBL_NOADVANCE ((ULONG)0x00000001)

// Restrictions are only named in table method signatures here.
typedef struct _SRestriction SRestriction, *LPSRestriction;

struct IMAPITable : public IUnknown {
    MAPIMETHOD(GetLastError)(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) = 0;
    MAPIMETHOD(Advise)(ULONG ulEventMask, LPMAPIADVISESINK lpAdviseSink, ULONG* lpulConnection) = 0;
    MAPIMETHOD(Unadvise)(ULONG ulConnection) = 0;
    MAPIMETHOD(GetStatus)(ULONG* lpulTableStatus, ULONG* lpulTableType) = 0;
    MAPIMETHOD(SetColumns)(LPSPropTagArray lpPropTagArray, ULONG ulFlags) = 0;
    MAPIMETHOD(QueryColumns)(ULONG ulFlags, LPSPropTagArray* lpPropTagArray) = 0;
    MAPIMETHOD(GetRowCount)(ULONG ulFlags, ULONG* lpulCount) = 0;
    MAPIMETHOD(SeekRow)(BOOKMARK bkOrigin, LONG lRowCount, LONG* lplRowsSought) = 0;
    MAPIMETHOD(SeekRowApprox)(ULONG ulNumerator, ULONG ulDenominator) = 0;
    MAPIMETHOD(QueryPosition)(ULONG* lpulRow, ULONG* lpulNumerator, ULONG* lpulDenominator) = 0;
    MAPIMETHOD(FindRow)(LPSRestriction lpRestriction, BOOKMARK bkOrigin, ULONG ulFlags) = 0;
    MAPIMETHOD(Restrict)(LPSRestriction lpRestriction, ULONG ulFlags) = 0;
    MAPIMETHOD(CreateBookmark)(BOOKMARK* lpbkPosition) = 0;
    MAPIMETHOD(FreeBookmark)(BOOKMARK bkPosition) = 0;
    MAPIMETHOD(SortTable)(LPSSortOrderSet lpSortCriteria, ULONG ulFlags) = 0;
    MAPIMETHOD(QuerySortOrder)(LPSSortOrderSet* lppSortCriteria) = 0;
    MAPIMETHOD(QueryRows)(LONG lRowCount, ULONG ulFlags, LPSRowSet* lppRows) = 0;
    MAPIMETHOD(Abort)() = 0;
    MAPIMETHOD(ExpandRow)
    (ULONG cbInstanceKey, LPBYTE pbInstanceKey, ULONG ulRowCount, ULONG ulFlags, LPSRowSet* lppRows,
     ULONG* lpulMoreRows) = 0;
    MAPIMETHOD(CollapseRow)
    (ULONG cbInstanceKey, LPBYTE pbInstanceKey, ULONG ulFlags, ULONG* lpulRowCount) = 0;
    MAPIMETHOD(WaitForCompletion)(ULONG ulFlags, ULONG ulTimeout, ULONG* lpulTableStatus) = 0;
    MAPIMETHOD(GetCollapseState)
    (ULONG ulFlags, ULONG cbInstanceKey, LPBYTE lpbInstanceKey, ULONG* lpcbCollapseState,
     LPBYTE* lppbCollapseState) = 0;
    MAPIMETHOD(SetCollapseState)
    (ULONG ulFlags, ULONG cbCollapseState, LPBYTE pbCollapseState, BOOKMARK* lpbkLocation) = 0;

protected:
    ~IMAPITable() = default;
};

#define MAPI_BEST_ACCESS ((ULONG)0x00000010)

#define CONVENIENT_DEPTH ((ULONG)0x00000001)
#define SEARCH_RUNNING ((ULONG)0x00000001)
#define SEARCH_REBUILD ((ULONG)0x00000002)
#define SEARCH_RECURSIVE ((ULONG)0x00000004)
#define SEARCH_FOREGROUND ((ULONG)0x00000008)

// Containers.
struct IMAPIContainer : public IMAPIProp {
    MAPIMETHOD(GetContentsTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIMETHOD(GetHierarchyTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIMETHOD(OpenEntry)
    (ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType,
     LPUNKNOWN* lppUnk) = 0;
    MAPIMETHOD(SetSearchCriteria)
    (LPSRestriction lpRestriction, LPENTRYLIST lpContainerList, ULONG ulSearchFlags) = 0;
    MAPIMETHOD(GetSearchCriteria)
    (ULONG ulFlags, LPSRestriction* lppRestriction, LPENTRYLIST* lppContainerList,
     ULONG* lpulSearchState) = 0;

protected:
    ~IMAPIContainer() = default;
};

typedef struct _flaglist {
    ULONG cFlags;
    ULONG ulFlag[MAPI_DIM];
} FlagList, *LPFlagList;

#define MAPI_UNRESOLVED ((ULONG)0x00000000)
#define MAPI_AMBIGUOUS ((ULONG)0x00000001)
#define MAPI_RESOLVED ((ULONG)0x00000002)

// Address-book entries.
struct IMailUser : public IMAPIProp {
protected:
    ~IMailUser() = default;
};

struct IDistList : public IMAPIContainer {
    MAPIMETHOD(CreateEntry)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulCreateFlags, LPMAPIPROP* lppMAPIPropEntry) = 0;
    MAPIMETHOD(CopyEntries)
    (LPENTRYLIST lpEntries, ULONG ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
    MAPIMETHOD(DeleteEntries)(LPENTRYLIST lpEntries, ULONG ulFlags) = 0;
    MAPIMETHOD(ResolveNames)
    (LPSPropTagArray lpPropTagArray, ULONG ulFlags, LPADRLIST lpAdrList, LPFlagList lpFlagList) = 0;

protected:
    ~IDistList() = default;
};

// Folders.
#define FOLDER_ROOT ((ULONG)0x00000000)
#define FOLDER_GENERIC ((ULONG)0x00000001)
#define FOLDER_SEARCH ((ULONG)0x00000002)

struct IMAPIFolder : public IMAPIContainer {
    MAPIMETHOD(CreateMessage)(LPCIID lpInterface, ULONG ulFlags, LPMESSAGE* lppMessage) = 0;
    MAPIMETHOD(CopyMessages)
    (LPENTRYLIST lpMsgList, LPCIID lpInterface, LPVOID lpDestFolder, ULONG ulUIParam,
     LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
    MAPIMETHOD(DeleteMessages)
    (LPENTRYLIST lpMsgList, ULONG ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
    MAPIMETHOD(CreateFolder)
    (ULONG ulFolderType, LPTSTR lpszFolderName, LPTSTR lpszFolderComment, LPCIID lpInterface,
     ULONG ulFlags, LPMAPIFOLDER* lppFolder) = 0;
    MAPIMETHOD(CopyFolder)
    (ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, LPVOID lpDestFolder,
     LPTSTR lpszNewFolderName, ULONG ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
    MAPIMETHOD(DeleteFolder)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulUIParam, LPMAPIPROGRESS lpProgress,
     ULONG ulFlags) = 0;
    MAPIMETHOD(SetReadFlags)
    (LPENTRYLIST lpMsgList, ULONG ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
    MAPIMETHOD(GetMessageStatus)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulFlags, ULONG* lpulMessageStatus) = 0;
    MAPIMETHOD(SetMessageStatus)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulNewStatus, ULONG ulNewStatusMask,
     ULONG* lpulOldStatus) = 0;
    MAPIMETHOD(SaveContentsSort)(LPSSortOrderSet lpSortCriteria, ULONG ulFlags) = 0;
    MAPIMETHOD(EmptyFolder)(ULONG ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;

protected:
    ~IMAPIFolder() = default;
};

// Message stores.
#define STORE_ENTRYID_UNIQUE ((ULONG)0x00000001)
#define STORE_READONLY ((ULONG)0x00000002)
#define STORE_MODIFY_OK ((ULONG)0x00000008)
#define STORE_CREATE_OK ((ULONG)0x00000010)
#define STORE_ATTACH_OK ((ULONG)0x00000020)
#define STORE_SUBMIT_OK ((ULONG)0x00000080)

#define LOGOFF_NO_WAIT ((ULONG)0x00000001)
#define LOGOFF_ORDERLY ((ULONG)0x00000002)
#define LOGOFF_PURGE ((ULONG)0x00000004)
#define LOGOFF_ABORT ((ULONG)0x00000008)
#define LOGOFF_QUIET ((ULONG)0x00000010)

struct IMsgStore : public IMAPIProp {
    MAPIMETHOD(Advise)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask, LPMAPIADVISESINK lpAdviseSink,
     ULONG* lpulConnection) = 0;
    MAPIMETHOD(Unadvise)(ULONG ulConnection) = 0;
    MAPIMETHOD(CompareEntryIDs)
    (ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2, LPENTRYID lpEntryID2, ULONG ulFlags,
     ULONG* lpulResult) = 0;
    MAPIMETHOD(OpenEntry)
    (ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType,
     LPUNKNOWN* lppUnk) = 0;
    MAPIMETHOD(SetReceiveFolder)
    (LPTSTR lpszMessageClass, ULONG ulFlags, ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
    MAPIMETHOD(GetReceiveFolder)
    (LPTSTR lpszMessageClass, ULONG ulFlags, ULONG* lpcbEntryID, LPENTRYID* lppEntryID,
     LPTSTR* lppszExplicitClass) = 0;
    MAPIMETHOD(GetReceiveFolderTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIMETHOD(StoreLogoff)(ULONG* lpulFlags) = 0;
    MAPIMETHOD(AbortSubmit)(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulFlags) = 0;
    MAPIMETHOD(GetOutgoingQueue)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIMETHOD(SetLockState)(LPMESSAGE lpMessage, ULONG ulLockState) = 0;
    MAPIMETHOD(FinishedMsg)(ULONG ulFlags, ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
    MAPIMETHOD(NotifyNewMail)(LPNOTIFICATION lpNotification) = 0;

protected:
    ~IMsgStore() = default;
};

// Messages.
#define FORCE_SUBMIT ((ULONG)0x00000001)

#define MSGFLAG_READ ((ULONG)0x00000001)
#define MSGFLAG_UNMODIFIED ((ULONG)0x00000002)
#define MSGFLAG_SUBMIT ((ULONG)0x00000004)
#define MSGFLAG_UNSENT ((ULONG)0x00000008)
#define MSGFLAG_HASATTACH ((ULONG)0x00000010)
#define MSGFLAG_FROMME ((ULONG)0x00000020)
#define MSGFLAG_ASSOCIATED ((ULONG)0x00000040)
#define MSGFLAG_RESEND ((ULONG)0x00000080)
#define MSGFLAG_RN_PENDING ((ULONG)0x00000100)
#define MSGFLAG_NRN_PENDING ((ULONG)0x00000200)

#define MODRECIP_ADD ((ULONG)0x00000002)
#define MODRECIP_MODIFY ((ULONG)0x00000004)
#define MODRECIP_REMOVE ((ULONG)0x00000008)

#define IMPORTANCE_LOW ((LONG)0)
#define IMPORTANCE_NORMAL ((LONG)1)
#define IMPORTANCE_HIGH ((LONG)2)

struct IMessage : public IMAPIProp {
    MAPIMETHOD(GetAttachmentTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIMETHOD(OpenAttach)
    (ULONG ulAttachmentNum, LPCIID lpInterface, ULONG ulFlags, LPATTACH* lppAttach) = 0;
    MAPIMETHOD(CreateAttach)
    (LPCIID lpInterface, ULONG ulFlags, ULONG* lpulAttachmentNum, LPATTACH* lppAttach) = 0;
    MAPIMETHOD(DeleteAttach)
    (ULONG ulAttachmentNum, ULONG ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
    MAPIMETHOD(GetRecipientTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIMETHOD(ModifyRecipients)(ULONG ulFlags, LPADRLIST lpMods) = 0;
    MAPIMETHOD(SubmitMessage)(ULONG ulFlags) = 0;
    MAPIMETHOD(SetReadFlag)(ULONG ulFlags) = 0;

protected:
    ~IMessage() = default;
};

// Attachments.
#define NO_ATTACHMENT ((ULONG)0x00000000)
#define ATTACH_BY_VALUE ((ULONG)0x00000001)
#define ATTACH_BY_REFERENCE ((ULONG)0x00000002)
#define ATTACH_BY_REF_RESOLVE ((ULONG)0x00000003)
#define ATTACH_BY_REF_ONLY ((ULONG)0x00000004)
#define ATTACH_EMBEDDED_MSG ((ULONG)0x00000005)
#define ATTACH_OLE ((ULONG)0x00000006)

struct IAttach : public IMAPIProp {
protected:
    ~IAttach() = default;
};

// Address book.
#define DT_MAILUSER ((ULONG)0x00000000)
#define DT_DISTLIST ((ULONG)0x00000001)
#define DT_FORUM ((ULONG)0x00000002)
#define DT_AGENT ((ULONG)0x00000003)
#define DT_ORGANIZATION ((ULONG)0x00000004)
#define DT_PRIVATE_DISTLIST ((ULONG)0x00000005)
#define DT_REMOTE_MAILUSER ((ULONG)0x00000006)

typedef WINBOOL(WINAPI ACCELERATEABSDI)(ULONG ulUIParam, LPVOID lpvmsg);
typedef ACCELERATEABSDI* LPFNABSDI;
typedef void(WINAPI DISMISSMODELESS)(ULONG ulUIParam, LPVOID lpvContext);
typedef DISMISSMODELESS* LPFNDISMISS;
typedef SCODE(WINAPI* LPFNBUTTON)(ULONG ulUIParam, LPVOID lpvContext, ULONG cbEntryID,
                                  LPENTRYID lpSelection, ULONG ulFlags);

// The address dialog's parameters are only named in a method signature.
typedef struct _ADRPARM ADRPARM, *LPADRPARM;

#define MAPI_DEFERRED_ERRORS ((ULONG)0x00000008)
#define MAPI_ASSOCIATED ((ULONG)0x00000040)

#define MDB_NO_DIALOG ((ULONG)0x00000001)
#define MDB_WRITE ((ULONG)0x00000004)
#define MDB_TEMPORARY ((ULONG)0x00000020)
#define MDB_NO_MAIL ((ULONG)0x00000080)

#define AB_NO_DIALOG ((ULONG)0x00000001)

#ifdef __cplusplus
}
#endif

#endif
