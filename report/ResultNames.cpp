#include "report/ResultNames.h"

#include <cerrno>

#include <cstddef>

namespace {

struct Named {
    uint32_t code;
    const char* name;
};

// Values as the Windows SDK's headers define them.
// Extended MAPI (mapicode.h).
constexpr Named kHResults[] = {{0x80004005, "MAPI_E_CALL_FAILED"},
                               {0x8007000E, "MAPI_E_NOT_ENOUGH_MEMORY"},
                               {0x80070057, "MAPI_E_INVALID_PARAMETER"},
                               {0x80004002, "MAPI_E_INTERFACE_NOT_SUPPORTED"},
                               {0x80070005, "MAPI_E_NO_ACCESS"},
                               {0x80040102, "MAPI_E_NO_SUPPORT"},
                               {0x80040103, "MAPI_E_BAD_CHARWIDTH"},
                               {0x80040105, "MAPI_E_STRING_TOO_LONG"},
                               {0x80040106, "MAPI_E_UNKNOWN_FLAGS"},
                               {0x80040107, "MAPI_E_INVALID_ENTRYID"},
                               {0x80040108, "MAPI_E_INVALID_OBJECT"},
                               {0x80040109, "MAPI_E_OBJECT_CHANGED"},
                               {0x8004010A, "MAPI_E_OBJECT_DELETED"},
                               {0x8004010B, "MAPI_E_BUSY"},
                               {0x8004010D, "MAPI_E_NOT_ENOUGH_DISK"},
                               {0x8004010E, "MAPI_E_NOT_ENOUGH_RESOURCES"},
                               {0x8004010F, "MAPI_E_NOT_FOUND"},
                               {0x80040110, "MAPI_E_VERSION"},
                               {0x80040111, "MAPI_E_LOGON_FAILED"},
                               {0x80040112, "MAPI_E_SESSION_LIMIT"},
                               {0x80040113, "MAPI_E_USER_CANCEL"},
                               {0x80040114, "MAPI_E_UNABLE_TO_ABORT"},
                               {0x80040115, "MAPI_E_NETWORK_ERROR"},
                               {0x80040116, "MAPI_E_DISK_ERROR"},
                               {0x80040117, "MAPI_E_TOO_COMPLEX"},
                               {0x80040118, "MAPI_E_BAD_COLUMN"},
                               {0x80040119, "MAPI_E_EXTENDED_ERROR"},
                               {0x8004011A, "MAPI_E_COMPUTED"},
                               {0x8004011B, "MAPI_E_CORRUPT_DATA"},
                               {0x8004011C, "MAPI_E_UNCONFIGURED"},
                               {0x8004011D, "MAPI_E_FAILONEPROVIDER"},
                               {0x8004011E, "MAPI_E_UNKNOWN_CPID"},
                               {0x8004011F, "MAPI_E_UNKNOWN_LCID"},
                               {0x80040120, "MAPI_E_PASSWORD_CHANGE_REQUIRED"},
                               {0x80040121, "MAPI_E_PASSWORD_EXPIRED"},
                               {0x80040122, "MAPI_E_INVALID_WORKSTATION_ACCOUNT"},
                               {0x80040123, "MAPI_E_INVALID_ACCESS_TIME"},
                               {0x80040124, "MAPI_E_ACCOUNT_DISABLED"},
                               {0x80040200, "MAPI_E_END_OF_SESSION"},
                               {0x80040201, "MAPI_E_UNKNOWN_ENTRYID"},
                               {0x80040202, "MAPI_E_MISSING_REQUIRED_COLUMN"},
                               {0x80040301, "MAPI_E_BAD_VALUE"},
                               {0x80040302, "MAPI_E_INVALID_TYPE"},
                               {0x80040303, "MAPI_E_TYPE_NO_SUPPORT"},
                               {0x80040304, "MAPI_E_UNEXPECTED_TYPE"},
                               {0x80040305, "MAPI_E_TOO_BIG"},
                               {0x80040306, "MAPI_E_DECLINE_COPY"},
                               {0x80040307, "MAPI_E_UNEXPECTED_ID"},
                               {0x80040400, "MAPI_E_UNABLE_TO_COMPLETE"},
                               {0x80040401, "MAPI_E_TIMEOUT"},
                               {0x80040402, "MAPI_E_TABLE_EMPTY"},
                               {0x80040403, "MAPI_E_TABLE_TOO_BIG"},
                               {0x80040405, "MAPI_E_INVALID_BOOKMARK"},
                               {0x80040500, "MAPI_E_WAIT"},
                               {0x80040501, "MAPI_E_CANCEL"},
                               {0x80040502, "MAPI_E_NOT_ME"},
                               {0x80040600, "MAPI_E_CORRUPT_STORE"},
                               {0x80040601, "MAPI_E_NOT_IN_QUEUE"},
                               {0x80040602, "MAPI_E_NO_SUPPRESS"},
                               {0x80040604, "MAPI_E_COLLISION"},
                               {0x80040605, "MAPI_E_NOT_INITIALIZED"},
                               {0x80040606, "MAPI_E_NON_STANDARD"},
                               {0x80040607, "MAPI_E_NO_RECIPIENTS"},
                               {0x80040608, "MAPI_E_SUBMITTED"},
                               {0x80040609, "MAPI_E_HAS_FOLDERS"},
                               {0x8004060A, "MAPI_E_HAS_MESSAGES"},
                               {0x8004060B, "MAPI_E_FOLDER_CYCLE"},
                               {0x80040700, "MAPI_E_AMBIGUOUS_RECIP"}};
// Simple MAPI (mapi.h).
constexpr Named kSimpleMapi[] = {{0, "SUCCESS_SUCCESS"},
                                 {1, "MAPI_USER_ABORT"},
                                 {2, "MAPI_E_FAILURE"},
                                 {3, "MAPI_E_LOGON_FAILURE"},
                                 {4, "MAPI_E_DISK_FULL"},
                                 {5, "MAPI_E_INSUFFICIENT_MEMORY"},
                                 {6, "MAPI_E_ACCESS_DENIED"},
                                 {8, "MAPI_E_TOO_MANY_SESSIONS"},
                                 {9, "MAPI_E_TOO_MANY_FILES"},
                                 {10, "MAPI_E_TOO_MANY_RECIPIENTS"},
                                 {11, "MAPI_E_ATTACHMENT_NOT_FOUND"},
                                 {12, "MAPI_E_ATTACHMENT_OPEN_FAILURE"},
                                 {13, "MAPI_E_ATTACHMENT_WRITE_FAILURE"},
                                 {14, "MAPI_E_UNKNOWN_RECIPIENT"},
                                 {15, "MAPI_E_BAD_RECIPTYPE"},
                                 {16, "MAPI_E_NO_MESSAGES"},
                                 {17, "MAPI_E_INVALID_MESSAGE"},
                                 {18, "MAPI_E_TEXT_TOO_LARGE"},
                                 {19, "MAPI_E_INVALID_SESSION"},
                                 {20, "MAPI_E_TYPE_NOT_SUPPORTED"},
                                 {21, "MAPI_E_AMBIGUOUS_RECIPIENT"},
                                 {22, "MAPI_E_MESSAGE_IN_USE"},
                                 {23, "MAPI_E_NETWORK_FAILURE"},
                                 {24, "MAPI_E_INVALID_EDITFIELDS"},
                                 {25, "MAPI_E_INVALID_RECIPS"},
                                 {26, "MAPI_E_NOT_SUPPORTED"}};
// ShellExecute (shellapi.h).
constexpr Named kShellExecute[] = {{0, "out of memory or resources"},
                                   {2, "SE_ERR_FNF"},
                                   {3, "SE_ERR_PNF"},
                                   {5, "SE_ERR_ACCESSDENIED"},
                                   {8, "SE_ERR_OOM"},
                                   {32, "SE_ERR_DLLNOTFOUND"},
                                   {26, "SE_ERR_SHARE"},
                                   {27, "SE_ERR_ASSOCINCOMPLETE"},
                                   {28, "SE_ERR_DDETIMEOUT"},
                                   {29, "SE_ERR_DDEFAIL"},
                                   {30, "SE_ERR_DDEBUSY"},
                                   {31, "SE_ERR_NOASSOC"},
                                   {11, "ERROR_BAD_FORMAT"}};
// Win32 (winerror.h).
constexpr Named kWin32[] = {{2, "ERROR_FILE_NOT_FOUND"},
                            {3, "ERROR_PATH_NOT_FOUND"},
                            {5, "ERROR_ACCESS_DENIED"},
                            {6, "ERROR_INVALID_HANDLE"},
                            {8, "ERROR_NOT_ENOUGH_MEMORY"},
                            {14, "ERROR_OUTOFMEMORY"},
                            {15, "ERROR_INVALID_DRIVE"},
                            {19, "ERROR_WRITE_PROTECT"},
                            {21, "ERROR_NOT_READY"},
                            {32, "ERROR_SHARING_VIOLATION"},
                            {33, "ERROR_LOCK_VIOLATION"},
                            {39, "ERROR_HANDLE_DISK_FULL"},
                            {50, "ERROR_NOT_SUPPORTED"},
                            {53, "ERROR_BAD_NETPATH"},
                            {80, "ERROR_FILE_EXISTS"},
                            {87, "ERROR_INVALID_PARAMETER"},
                            {112, "ERROR_DISK_FULL"},
                            {122, "ERROR_INSUFFICIENT_BUFFER"},
                            {123, "ERROR_INVALID_NAME"},
                            {126, "ERROR_MOD_NOT_FOUND"},
                            {127, "ERROR_PROC_NOT_FOUND"},
                            {183, "ERROR_ALREADY_EXISTS"},
                            {193, "ERROR_BAD_EXE_FORMAT"},
                            {206, "ERROR_FILENAME_EXCED_RANGE"},
                            {267, "ERROR_DIRECTORY"},
                            {1004, "ERROR_INVALID_FLAGS"},
                            {1113, "ERROR_NO_UNICODE_TRANSLATION"},
                            {1155, "ERROR_NO_ASSOCIATION"},
                            {1157, "ERROR_DLL_NOT_FOUND"},
                            {1223, "ERROR_CANCELLED"}};

template <size_t N>
const char* Find(const Named (&table)[N], uint32_t code) {
    for (const Named& named : table) {
        if (named.code == code) return named.name;
    }
    return nullptr;
}

}  // namespace

const char* ResultName(RoadFailure::Code kind, uint32_t code) {
    switch (kind) {
        case RoadFailure::Code::HResult:
            return code == 0 ? "S_OK" : Find(kHResults, code);
        case RoadFailure::Code::SimpleMapi:
            return Find(kSimpleMapi, code);
        case RoadFailure::Code::Shell:
            return Find(kShellExecute, code);
        case RoadFailure::Code::Win32:
            return Find(kWin32, code);
        case RoadFailure::Code::Errno:
            return code == ENOMEM ? "ENOMEM" : nullptr;
        case RoadFailure::Code::None:
            break;
    }
    return nullptr;
}
