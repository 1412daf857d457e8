// Memory running out inside the client: every call of the Drafts road, run
// again and again with its first, second, third ... allocation failing,
// returns MAPI_E_NOT_ENOUGH_MEMORY (or succeeds), never lets an exception
// out, and leaves nothing half done: the form finally shown is exact and
// everything handed out comes back. This program replaces the global
// allocator (every form of new and delete) to make one chosen allocation
// fail, so it runs on its own.
#include "MailsimTesting.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <new>
#include <string>

// The replacements below pair malloc and free by design.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

long allocationsBeforeFailure = -1;  // -1: none fails
bool allocationFailed = false;

// Every form of operator new comes here, so that the chosen allocation fails
// whichever form makes it, and every block is freed by std::free: the
// library may allocate with one form (a nothrow new in std::stable_sort's
// buffer) and free with another.
void* Allocate(std::size_t size, std::size_t alignment) {
    if (allocationsBeforeFailure == 0) {
        allocationsBeforeFailure = -1;
        allocationFailed = true;
        throw std::bad_alloc();
    }
    if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
    if (size == 0) size = 1;
    void* memory =
        alignment <= alignof(std::max_align_t)
            ? std::malloc(size)
            : std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}

void* AllocateOrNull(std::size_t size, std::size_t alignment) noexcept {
    try {
        return Allocate(size, alignment);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

constexpr std::size_t kDefaultAlignment = alignof(std::max_align_t);

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size, kDefaultAlignment);
}
void* operator new[](std::size_t size) {
    return Allocate(size, kDefaultAlignment);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, kDefaultAlignment);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, kDefaultAlignment);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return Allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return Allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(memory);
}

namespace {

using nlohmann::json;

class OutOfMemory : public MailsimTest {
protected:
    void TearDown() override {
        unsetenv("MAPISIM_TRANSCRIPT");
        MailsimTest::TearDown();
    }

    // Runs call with its nth allocation failing, n = 0, 1, 2 ..., until it
    // runs without reaching the failure; then it must give `success`.
    template <class Result>
    void Survives(const char* what, const std::function<Result()>& call, Result success,
                  Result outOfMemory) {
        for (long n = 0;; ++n) {
            allocationsBeforeFailure = n;
            allocationFailed = false;
            const Result result = call();
            allocationsBeforeFailure = -1;
            // A failure the client absorbs (its log, its transcript file)
            // may still let the call succeed.
            if (result == success) return;
            EXPECT_EQ(result, outOfMemory) << what << ", allocation " << n;
            if (!allocationFailed) return;  // failed, and not for memory
        }
    }
    void Survives(const char* what, const std::function<HRESULT()>& call) {
        Survives<HRESULT>(what, call, S_OK, MAPI_E_NOT_ENOUGH_MEMORY);
    }
};

TEST_F(OutOfMemory, EveryAllocationOfTheDraftsRoadCanFail) {
    const std::string path = ::testing::TempDir() + "mailsim-out-of-memory.json";
    setenv("MAPISIM_TRANSCRIPT", path.c_str(), 1);
    Survives("MAPIInitialize", [] { return MAPIInitialize(nullptr); });
    LPMAPISESSION session = nullptr;
    Survives("MAPILogonEx", [&] {
        return MAPILogonEx(0, nullptr, nullptr, MAPI_EXTENDED | MAPI_USE_DEFAULT, &session);
    });
    LPMAPITABLE table = nullptr;
    Survives("GetMsgStoresTable", [&] { return session->GetMsgStoresTable(0, &table); });
    LPSRowSet rows = nullptr;
    Survives("QueryRows", [&] { return table->QueryRows(1, 0, &rows); });
    ASSERT_EQ(rows->cRows, 1u);
    const SBinary storeId = rows->aRow[0].lpProps[1].Value.bin;
    LPMDB store = nullptr;
    Survives("OpenMsgStore", [&] {
        return session->OpenMsgStore(0, storeId.cb, reinterpret_cast<LPENTRYID>(storeId.lpb),
                                     nullptr, MDB_NO_DIALOG | MAPI_BEST_ACCESS | MAPI_MODIFY,
                                     &store);
    });
    FreeProws(rows);
    ULONG inboxSize = 0;
    LPENTRYID inboxId = nullptr;
    Survives("GetReceiveFolder",
             [&] { return store->GetReceiveFolder(nullptr, 0, &inboxSize, &inboxId, nullptr); });
    ULONG type = 0;
    LPUNKNOWN inbox = nullptr;
    Survives("OpenEntry", [&] {
        return store->OpenEntry(inboxSize, inboxId, nullptr, MAPI_MODIFY, &type, &inbox);
    });
    MAPIFreeBuffer(inboxId);
    SizedSPropTagArray(1, draftsTag) = {1, {PR_IPM_DRAFTS_ENTRYID}};
    ULONG count = 0;
    LPSPropValue drafts = nullptr;
    Survives("GetProps", [&] {
        return static_cast<LPMAPIFOLDER>(inbox)->GetProps(
            reinterpret_cast<LPSPropTagArray>(&draftsTag), 0, &count, &drafts);
    });
    LPUNKNOWN folder = nullptr;
    Survives("OpenEntry", [&] {
        return store->OpenEntry(drafts->Value.bin.cb,
                                reinterpret_cast<LPENTRYID>(drafts->Value.bin.lpb), nullptr,
                                MAPI_MODIFY, &type, &folder);
    });
    MAPIFreeBuffer(drafts);
    LPMESSAGE message = nullptr;
    Survives("CreateMessage", [&] {
        return static_cast<LPMAPIFOLDER>(folder)->CreateMessage(nullptr, 0, &message);
    });
    SPropValue subject{};
    subject.ulPropTag = PR_SUBJECT;
    subject.Value.lpszA = const_cast<LPSTR>("Report");
    Survives("SetProps", [&] { return message->SetProps(1, &subject, nullptr); });

    LPADRBOOK book = nullptr;
    Survives("OpenAddressBook",
             [&] { return session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, &book); });
    LPADRLIST list = nullptr;
    ASSERT_EQ(MAPIAllocateBuffer(CbNewADRLIST(1), reinterpret_cast<LPVOID*>(&list)), S_OK);
    list->cEntries = 1;
    list->aEntries[0].ulReserved1 = 0;
    list->aEntries[0].cValues = 2;
    ASSERT_EQ(MAPIAllocateBuffer(2 * sizeof(SPropValue),
                                 reinterpret_cast<LPVOID*>(&list->aEntries[0].rgPropVals)),
              S_OK);
    list->aEntries[0].rgPropVals[0].ulPropTag = PR_DISPLAY_NAME;
    list->aEntries[0].rgPropVals[0].Value.lpszA = const_cast<LPSTR>("Alice Example");
    list->aEntries[0].rgPropVals[1].ulPropTag = PR_RECIPIENT_TYPE;
    list->aEntries[0].rgPropVals[1].Value.l = MAPI_TO;
    Survives("ResolveName", [&] { return book->ResolveName(0, 0, nullptr, list); });
    Survives("ModifyRecipients", [&] { return message->ModifyRecipients(0, list); });
    FreePadrlist(list);

    // Long enough that the client stops holding it and keeps its digest.
    const std::string data(100000, 'a');
    const char* kDigest =
        "6d1cf22d7cc09b085dfc25ee1a1f3ae0265804c607bc2074ad253bcc82fd81ee";  // sha256sum of it
    LPATTACH attach = nullptr;
    Survives("CreateAttach", [&] { return message->CreateAttach(nullptr, 0, nullptr, &attach); });
    LPUNKNOWN unknown = nullptr;
    Survives("OpenProperty", [&] {
        return attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY,
                                    &unknown);
    });
    LPSTREAM stream = static_cast<LPSTREAM>(unknown);
    for (size_t done = 0; done < data.size(); done += 4096) {
        const ULONG part = static_cast<ULONG>(std::min<size_t>(4096, data.size() - done));
        Survives("Write", [&] { return stream->Write(data.data() + done, part, nullptr); });
    }
    Survives("SaveChanges", [&] { return attach->SaveChanges(KEEP_OPEN_READONLY); });
    Survives("SaveChanges", [&] { return message->SaveChanges(KEEP_OPEN_READWRITE); });

    ULONG token = 0;
    Survives("PrepareForm", [&] { return session->PrepareForm(nullptr, message, &token); });
    char messageClass[] = "IPM.Note";
    Survives("ShowForm", [&] {
        return session->ShowForm(0, store, static_cast<LPMAPIFOLDER>(folder), nullptr, token,
                                 nullptr, 0, 0, 0, 0, messageClass);
    });
    MapiMessage simple{};
    simple.lpszSubject = const_cast<LPSTR>("Report");
    Survives<ULONG>(
        "MAPISendMail", [&] { return MAPISendMail(0, 0, &simple, MAPI_DIALOG, 0); },
        SUCCESS_SUCCESS, MAPI_E_INSUFFICIENT_MEMORY);

    // Release and MAPIUninitialize cannot report a failure: they must still
    // do their work.
    for (LPUNKNOWN object : std::initializer_list<LPUNKNOWN>{stream, attach, message, book, folder,
                                                             inbox, store, table, session}) {
        allocationsBeforeFailure = 0;
        object->Release();
        allocationsBeforeFailure = -1;
    }
    allocationsBeforeFailure = 0;
    MAPIUninitialize();
    allocationsBeforeFailure = -1;

    const json t = mailsim::Transcript();
    ASSERT_EQ(t["forms"].size(), 1u);
    const json form = t["forms"][0];
    EXPECT_EQ(form["subject"], "Report");
    ASSERT_EQ(form["recipients"].size(), 1u);
    EXPECT_EQ(form["recipients"][0]["displayName"], "Alice Example");
    ASSERT_EQ(form["attachments"].size(), 1u);
    EXPECT_EQ(form["attachments"][0]["dataSize"], data.size());
    EXPECT_EQ(form["attachments"][0]["sha256"], kDigest);
    EXPECT_EQ(t["sends"].size(), 1u);
    std::remove(path.c_str());
}

}  // namespace
