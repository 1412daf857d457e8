// Stand-in for the SDK's <mapix.h> on systems other than Windows: the
// session and address-book interfaces, the logon flags, MAPIINIT_0 and the
// Extended MAPI entry points (start, stop, logon, buffers), with the same
// names, values and signatures as the Windows SDK headers that MinGW-w64
// ships.
#ifndef MAPIX_H
#define MAPIX_H

#include <mapidefs.h>
#include <mapicode.h>
#include <mapitags.h>

#ifdef __cplusplus
extern "C" {
#endif

DECLARE_MAPI_INTERFACE_PTR(IProfAdmin, LPPROFADMIN);
DECLARE_MAPI_INTERFACE_PTR(IMsgServiceAdmin, LPSERVICEADMIN);
DECLARE_MAPI_INTERFACE_PTR(IMAPISession, LPMAPISESSION);

typedef ULONG FLAGS;

#ifndef MAPI_LOGON_UI
#define MAPI_LOGON_UI 0x00000001
#endif
#ifndef MAPI_NEW_SESSION
#define MAPI_NEW_SESSION 0x00000002
#endif
#define MAPI_ALLOW_OTHERS 0x00000008
#define MAPI_EXPLICIT_PROFILE 0x00000010
#ifndef MAPI_EXTENDED
#define MAPI_EXTENDED 0x00000020
#endif
#ifndef MAPI_FORCE_DOWNLOAD
#define MAPI_FORCE_DOWNLOAD 0x00001000
#endif
#define MAPI_SERVICE_UI_ALWAYS 0x00002000
#define MAPI_NO_MAIL 0x00008000

#ifndef MAPI_PASSWORD_UI
#define MAPI_PASSWORD_UI 0x00020000
#endif
#define MAPI_TIMEOUT_SHORT 0x00100000

typedef struct {
    ULONG ulVersion;
    ULONG ulFlags;
} MAPIINIT_0, *LPMAPIINIT_0;

typedef MAPIINIT_0 MAPIINIT;
typedef MAPIINIT* LPMAPIINIT;

#define MAPI_INIT_VERSION 0

#define MAPI_MULTITHREAD_NOTIFICATIONS 0x00000001

typedef HRESULT(WINAPI MAPIINITIALIZE)(LPVOID lpMapiInit);
typedef MAPIINITIALIZE* LPMAPIINITIALIZE;
typedef void(WINAPI MAPIUNINITIALIZE)(void);
typedef MAPIUNINITIALIZE* LPMAPIUNINITIALIZE;

MAPIINITIALIZE MAPIInitialize;
MAPIUNINITIALIZE MAPIUninitialize;

typedef HRESULT(WINAPI MAPILOGONEX)(ULONG_PTR ulUIParam, LPTSTR lpszProfileName,
                                    LPTSTR lpszPassword, ULONG ulFlags, LPMAPISESSION* lppSession);
typedef MAPILOGONEX* LPMAPILOGONEX;

MAPILOGONEX MAPILogonEx;

typedef SCODE(WINAPI MAPIALLOCATEBUFFER)(ULONG cbSize, LPVOID* lppBuffer);
typedef SCODE(WINAPI MAPIALLOCATEMORE)(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer);
typedef ULONG(WINAPI MAPIFREEBUFFER)(LPVOID lpBuffer);
typedef MAPIALLOCATEBUFFER* LPMAPIALLOCATEBUFFER;
typedef MAPIALLOCATEMORE* LPMAPIALLOCATEMORE;
typedef MAPIFREEBUFFER* LPMAPIFREEBUFFER;

MAPIALLOCATEBUFFER MAPIAllocateBuffer;
MAPIALLOCATEMORE MAPIAllocateMore;
MAPIFREEBUFFER MAPIFreeBuffer;

#define MAPI_LOGOFF_SHARED 0x00000001
#define MAPI_LOGOFF_UI 0x00000002

#define MAPI_DEFAULT_STORE 0x00000001
#define MAPI_SIMPLE_STORE_TEMPORARY 0x00000002
#define MAPI_SIMPLE_STORE_PERMANENT 0x00000003
#define MAPI_PRIMARY_STORE 0x00000004
#define MAPI_SECONDARY_STORE 0x00000005

#define MAPI_POST_MESSAGE 0x00000001
#define MAPI_NEW_MESSAGE 0x00000002

struct IMAPISession : public IUnknown {
    MAPIMETHOD(GetLastError)(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) = 0;
    MAPIMETHOD(GetMsgStoresTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIMETHOD(OpenMsgStore)
    (ULONG_PTR ulUIParam, ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
     LPMDB* lppMDB) = 0;
    MAPIMETHOD(OpenAddressBook)
    (ULONG_PTR ulUIParam, LPCIID lpInterface, ULONG ulFlags, LPADRBOOK* lppAdrBook) = 0;
    MAPIMETHOD(OpenProfileSection)
    (LPMAPIUID lpUID, LPCIID lpInterface, ULONG ulFlags, LPPROFSECT* lppProfSect) = 0;
    MAPIMETHOD(GetStatusTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIMETHOD(OpenEntry)
    (ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType,
     LPUNKNOWN* lppUnk) = 0;
    MAPIMETHOD(CompareEntryIDs)
    (ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2, LPENTRYID lpEntryID2, ULONG ulFlags,
     ULONG* lpulResult) = 0;
    MAPIMETHOD(Advise)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask, LPMAPIADVISESINK lpAdviseSink,
     ULONG* lpulConnection) = 0;
    MAPIMETHOD(Unadvise)(ULONG ulConnection) = 0;
    MAPIMETHOD(MessageOptions)
    (ULONG_PTR ulUIParam, ULONG ulFlags, LPTSTR lpszAdrType, LPMESSAGE lpMessage) = 0;
    MAPIMETHOD(QueryDefaultMessageOpt)
    (LPTSTR lpszAdrType, ULONG ulFlags, ULONG* lpcValues, LPSPropValue* lppOptions) = 0;
    MAPIMETHOD(EnumAdrTypes)(ULONG ulFlags, ULONG* lpcAdrTypes, LPTSTR** lpppszAdrTypes) = 0;
    MAPIMETHOD(QueryIdentity)(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) = 0;
    MAPIMETHOD(Logoff)(ULONG_PTR ulUIParam, ULONG ulFlags, ULONG ulReserved) = 0;
    MAPIMETHOD(SetDefaultStore)(ULONG ulFlags, ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
    MAPIMETHOD(AdminServices)(ULONG ulFlags, LPSERVICEADMIN* lppServiceAdmin) = 0;
    MAPIMETHOD(ShowForm)
    (ULONG_PTR ulUIParam, LPMDB lpMsgStore, LPMAPIFOLDER lpParentFolder, LPCIID lpInterface,
     ULONG ulMessageToken, LPMESSAGE lpMessageSent, ULONG ulFlags, ULONG ulMessageStatus,
     ULONG ulMessageFlags, ULONG ulAccess, LPSTR lpszMessageClass) = 0;
    MAPIMETHOD(PrepareForm)(LPCIID lpInterface, LPMESSAGE lpMessage, ULONG* lpulMessageToken) = 0;

protected:
    ~IMAPISession() = default;
};

struct IAddrBook : public IMAPIProp {
    MAPIMETHOD(OpenEntry)
    (ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType,
     LPUNKNOWN* lppUnk) = 0;
    MAPIMETHOD(CompareEntryIDs)
    (ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2, LPENTRYID lpEntryID2, ULONG ulFlags,
     ULONG* lpulResult) = 0;
    MAPIMETHOD(Advise)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask, LPMAPIADVISESINK lpAdviseSink,
     ULONG* lpulConnection) = 0;
    MAPIMETHOD(Unadvise)(ULONG ulConnection) = 0;
    MAPIMETHOD(CreateOneOff)
    (LPTSTR lpszName, LPTSTR lpszAdrType, LPTSTR lpszAddress, ULONG ulFlags, ULONG* lpcbEntryID,
     LPENTRYID* lppEntryID) = 0;
    MAPIMETHOD(NewEntry)
    (ULONG_PTR ulUIParam, ULONG ulFlags, ULONG cbEIDContainer, LPENTRYID lpEIDContainer,
     ULONG cbEIDNewEntryTpl, LPENTRYID lpEIDNewEntryTpl, ULONG* lpcbEIDNewEntry,
     LPENTRYID* lppEIDNewEntry) = 0;
    MAPIMETHOD(ResolveName)
    (ULONG_PTR ulUIParam, ULONG ulFlags, LPTSTR lpszNewEntryTitle, LPADRLIST lpAdrList) = 0;
    MAPIMETHOD(Address)(ULONG_PTR* lpulUIParam, LPADRPARM lpAdrParms, LPADRLIST* lppAdrList) = 0;
    MAPIMETHOD(Details)
    (ULONG* lpulUIParam, LPFNDISMISS lpfnDismiss, LPVOID lpvDismissContext, ULONG cbEntryID,
     LPENTRYID lpEntryID, LPFNBUTTON lpfButtonCallback, LPVOID lpvButtonContext,
     LPTSTR lpszButtonText, ULONG ulFlags) = 0;
    MAPIMETHOD(RecipOptions)(ULONG_PTR ulUIParam, ULONG ulFlags, LPADRENTRY lpRecip) = 0;
    MAPIMETHOD(QueryDefaultRecipOpt)
    (LPTSTR lpszAdrType, ULONG ulFlags, ULONG* lpcValues, LPSPropValue* lppOptions) = 0;
    MAPIMETHOD(GetPAB)(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) = 0;
    MAPIMETHOD(SetPAB)(ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
    MAPIMETHOD(GetDefaultDir)(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) = 0;
    MAPIMETHOD(SetDefaultDir)(ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
    MAPIMETHOD(GetSearchPath)(ULONG ulFlags, LPSRowSet* lppSearchPath) = 0;
    MAPIMETHOD(SetSearchPath)(ULONG ulFlags, LPSRowSet lpSearchPath) = 0;
    MAPIMETHOD(PrepareRecips)
    (ULONG ulFlags, LPSPropTagArray lpPropTagArray, LPADRLIST lpRecipList) = 0;

protected:
    ~IAddrBook() = default;
};

#ifdef __cplusplus
}
#endif

#endif
