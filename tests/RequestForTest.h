// A compose request made the way the program makes one: its texts as typed
// (UTF-8), the attachment opened by its path, the 8-bit view derived.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "text/OwnedRequest.h"
#include "text/WideToUtf8.h"
#include "win32/FileHandle.h"
#include "win32/SharedRead.h"

class RequestForTest {
public:
    RequestForTest(const char* to, const char* cc, const char* bcc, const char* subject,
                   const char* body, const char* attachment = nullptr) {
        EXPECT_TRUE(owned_.SetRecipients(RecipientKind::To, to));
        EXPECT_TRUE(owned_.SetRecipients(RecipientKind::Cc, cc));
        EXPECT_TRUE(owned_.SetRecipients(RecipientKind::Bcc, bcc));
        EXPECT_TRUE(owned_.SetSubject(subject));
        EXPECT_TRUE(owned_.SetBody(body));
        if (attachment != nullptr) {
            EXPECT_TRUE(Utf8ToWide(attachment, std::strlen(attachment), path_));
            RoadFailure why;
            file_.Reset(OpenSharedRead(path_.c_str(), &why));
            EXPECT_TRUE(owned_.SetAttachment(path_.c_str(), file_.Get(), why));
        }
        EXPECT_TRUE(owned_.Finish());
    }
    const ComposeRequest& operator*() const { return owned_.Request(); }
    const ComposeRequest* operator->() const { return &owned_.Request(); }

private:
    OwnedRequest owned_;
    WideText path_;
    FileHandle file_;
};
