#pragma once
// TMessageFilter: while an automation call to the busy CAD program is outstanding, accepts
// incoming calls, retries rejected calls every second, and dispatches no window messages.
#include <objbase.h>

namespace tesnova {

class TMessageFilter : public IMessageFilter {
 public:
  TMessageFilter() = default;

  // Installs this filter, keeping the one it replaces.
  void RegisterFilter();
  // Puts the previous filter back; the filter let go releases this object.
  void RevokeFilter();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK callerTask, DWORD tickCount,
                                             LPINTERFACEINFO interfaceInfo) override;
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK calleeTask, DWORD tickCount,
                                            DWORD rejectType) override;
  DWORD STDMETHODCALLTYPE MessagePending(HTASK calleeTask, DWORD tickCount,
                                         DWORD pendingType) override;

 private:
  virtual ~TMessageFilter() = default;
  LONG FRefCount = 1;
  IMessageFilter* FoldFilter = nullptr;
};

}  // namespace tesnova
