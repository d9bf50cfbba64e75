#include "win32/message_filter.h"

#include <gtest/gtest.h>

namespace tesnova {
namespace {

TEST(MessageFilter, AnswersAndRegistration) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  auto* filter = new TMessageFilter();
  EXPECT_EQ(filter->HandleInComingCall(0, nullptr, 0, nullptr), DWORD{SERVERCALL_ISHANDLED});
  EXPECT_EQ(filter->RetryRejectedCall(nullptr, 60000, SERVERCALL_RETRYLATER), 1000u);
  EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_REJECTED), DWORD(-1));
  EXPECT_EQ(filter->MessagePending(nullptr, 0, PENDINGMSG_WAITDEFPROCESS),
            DWORD{PENDINGMSG_WAITNOPROCESS});

  filter->RegisterFilter();
  IMessageFilter* current = nullptr;
  CoRegisterMessageFilter(nullptr, &current);  // look, then put it back
  EXPECT_EQ(current, static_cast<IMessageFilter*>(filter));
  IMessageFilter* none = nullptr;
  CoRegisterMessageFilter(current, &none);
  EXPECT_EQ(none, nullptr);
  current->Release();

  filter->RevokeFilter();  // frees the filter
  CoRegisterMessageFilter(nullptr, &current);
  EXPECT_EQ(current, nullptr);
  CoUninitialize();
}

}  // namespace
}  // namespace tesnova
