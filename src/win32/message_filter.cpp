#include "win32/message_filter.h"

namespace tesnova {

void TMessageFilter::RegisterFilter() { CoRegisterMessageFilter(this, &FoldFilter); }

void TMessageFilter::RevokeFilter() {
  IMessageFilter* previous = FoldFilter;
  FoldFilter = nullptr;
  IMessageFilter* released = nullptr;
  CoRegisterMessageFilter(previous, &released);
  if (previous) previous->Release();
  // The registration's reference comes back with the filter let go; our own goes with it.
  if (released) released->Release();
  Release();
}

HRESULT STDMETHODCALLTYPE TMessageFilter::QueryInterface(REFIID iid, void** object) {
  if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
    *object = static_cast<IMessageFilter*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TMessageFilter::AddRef() { return InterlockedIncrement(&FRefCount); }

ULONG STDMETHODCALLTYPE TMessageFilter::Release() {
  LONG n = InterlockedDecrement(&FRefCount);
  if (n == 0) delete this;
  return n;
}

DWORD STDMETHODCALLTYPE TMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
  return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE TMessageFilter::RetryRejectedCall(HTASK, DWORD, DWORD rejectType) {
  return rejectType == SERVERCALL_RETRYLATER ? 1000 : static_cast<DWORD>(-1);
}

DWORD STDMETHODCALLTYPE TMessageFilter::MessagePending(HTASK, DWORD, DWORD) {
  return PENDINGMSG_WAITNOPROCESS;
}

}  // namespace tesnova
