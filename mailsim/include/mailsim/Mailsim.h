// The simulated mail client's interface for tests: load a profile, make
// calls fail, read what the client recorded (forms, send dialogs, message
// boxes, the calls it received) and the accounting of the interface
// references and MAPI buffers it handed out.
//
// Typical test fixture:
//
//   void SetUp() override { mailsim::Reset(); }            // default profile
//   void TearDown() override {
//       const mailsim::Accounting a = mailsim::GetAccounting();
//       EXPECT_EQ(a.references, 0); EXPECT_EQ(a.buffers, 0);
//       EXPECT_EQ(a.overReleases, 0u); EXPECT_EQ(a.invalidFrees, 0u);
//   }
//   ...
//   ASSERT_TRUE(mailsim::LoadProfileText(R"({"stores": [...]})"));
//   mailsim::InjectFault("IMAPIFolder::CreateMessage", E_FAIL, 1);
//   ... run code against MAPI ...
//   nlohmann::json t = mailsim::Transcript();   // same shape as MAPISIM_TRANSCRIPT
//   EXPECT_EQ(t["forms"][0]["subject"], "Report");
#pragma once

#include <windows.h>

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace mailsim {

// Forgets everything recorded (events, faults, call log and counts), drops
// the objects of earlier runs from the accounting, and serves the embedded
// default profile. Outstanding counts start again from zero.
void Reset();

// Replaces the profile (the JSON of MAPISIM_PROFILE; every member is
// optional) and then behaves like Reset otherwise. On a malformed profile
// returns false, says why in *error when given, and keeps the old profile.
bool LoadProfileText(const std::string& json, std::string* error = nullptr);
bool LoadProfileFile(const std::string& path, std::string* error = nullptr);
// The embedded default profile as JSON text.
std::string DefaultProfileText();

struct Accounting {
    long references = 0;           // interface references handed out and not yet released
    long buffers = 0;              // MAPI buffers allocated since Reset and not yet freed
    size_t overReleases = 0;       // Release calls on an object whose count was already 0
    size_t callsAfterRelease = 0;  // method calls on an object already fully released
    size_t invalidFrees = 0;       // MAPIFreeBuffer of a pointer that was no live buffer
};
Accounting GetAccounting();

// Makes a call fail with `result` without doing anything else. `call` is an
// "Interface::Method" name ("IMAPIFolder::CreateMessage", "IMessage::SetProps")
// or a function name ("MAPIInitialize", "MAPILogonEx", "MAPIAllocateBuffer",
// "MAPISendMail"). nth = 1 fails the first call, 2 the second ...; nth = 0
// fails every call. Counting starts at the last Reset or profile load. Faults
// from the profile's "faults" member are added the same way.
void InjectFault(const std::string& call, HRESULT result, unsigned nth = 0);
void ClearFaults();

// How often a call was made since the last Reset (faulted calls included).
unsigned CallCount(const std::string& call);
// The calls received since the last Reset, in order, as "Interface::Method"
// or function names; AddRef and Release included. Only the most recent
// 4096 are kept, so that a long run does not grow the log.
std::vector<std::string> CallLog();

// The transcript as written to MAPISIM_TRANSCRIPT: "forms", "sends",
// "messageBoxes" and "outstanding" (as of now).
nlohmann::json Transcript();

// Entry identifiers (their bytes) as the client hands them out, for tests
// that open entries directly; empty when there is no such entry.
std::string StoreEntryId(size_t store);
std::string FolderEntryId(size_t store, const std::string& folderName);
// The index-th message that the profile gives the folder.
std::string MessageEntryId(size_t store, const std::string& folderName, size_t index);
// The first address-book entry with that display name.
std::string AddressEntryId(const std::string& displayName);

// Makes mailsim the MAPI provider of the platform stand-in (the
// mailsim_register object library does this before main), or removes it.
void Install();
void Uninstall();

}  // namespace mailsim
