#include "win32/com_automation.h"

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <cstdio>
#include <map>

#include "win32/wide_text.h"

namespace tesnova {

// The IDispatch behind an object of this adapter; null for any other object.
IDispatch* DispatchOf(const AutomationRef& object);

namespace {

std::string HexCode(HRESULT hr) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
  return buffer;
}

[[noreturn]] void Fail(std::string_view what, HRESULT hr, const EXCEPINFO* info = nullptr) {
  std::string message = std::string(what) + ": " + HexCode(hr);
  if (info && info->bstrDescription)
    message += " " + WideToUtf8(std::wstring_view(info->bstrDescription,
                                                  SysStringLen(info->bstrDescription)));
  throw AutomationError(message, static_cast<std::int32_t>(hr));
}

// The server's type machinery refused an argument's type before the member was entered.
class ArgumentTypeRefused : public AutomationError {
 public:
  using AutomationError::AutomationError;
};

bool IsBusy(HRESULT hr) { return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER; }

// A VARIANT that clears itself.
struct OwnedVariant {
  VARIANT v;
  OwnedVariant() { VariantInit(&v); }
  ~OwnedVariant() { VariantClear(&v); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
};

AutomationRef WrapDispatch(IDispatch* dispatch);

void ToVariant(const Variant& in, VARIANT& out) {
  VariantInit(&out);
  switch (in.kind()) {
    case Variant::Kind::Empty:
      break;
    case Variant::Kind::Integer: {
      // Small integers go as 16-bit values: system variables such as "osmode" accept no other
      // type, and members declared wider convert them themselves.
      std::int64_t value = in.AsInteger();
      if (value >= -32768 && value <= 32767) {
        out.vt = VT_I2;
        out.iVal = static_cast<SHORT>(value);
      } else if (value >= INT32_MIN && value <= INT32_MAX) {
        out.vt = VT_I4;
        out.lVal = static_cast<LONG>(value);
      } else {
        out.vt = VT_I8;
        out.llVal = value;
      }
      break;
    }
    case Variant::Kind::Double:
      out.vt = VT_R8;
      out.dblVal = in.AsDouble();
      break;
    case Variant::Kind::Boolean:
      out.vt = VT_BOOL;
      out.boolVal = in.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case Variant::Kind::Text: {
      std::wstring wide = Utf8ToWide(in.AsText());
      out.vt = VT_BSTR;
      out.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
      break;
    }
    case Variant::Kind::DoubleArray: {
      const auto& values = in.AsDoubles();
      SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(values.size()));
      if (!array) Fail("SafeArrayCreateVector", E_OUTOFMEMORY);
      double* data = nullptr;
      SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
      for (size_t i = 0; i < values.size(); ++i) data[i] = values[i];
      SafeArrayUnaccessData(array);
      out.vt = VT_ARRAY | VT_R8;
      out.parray = array;
      break;
    }
    case Variant::Kind::Object: {
      IDispatch* dispatch = DispatchOf(in.AsObject());
      if (!dispatch) throw AutomationError("COM 以外のオブジェクトは渡せません", 0);
      dispatch->AddRef();
      out.vt = VT_DISPATCH;
      out.pdispVal = dispatch;
      break;
    }
  }
}

Variant ArrayFrom(SAFEARRAY* array, VARTYPE elementType) {
  std::vector<double> values;
  if (!array || SafeArrayGetDim(array) != 1) return Variant(values);
  LONG low = 0, high = -1;
  SafeArrayGetLBound(array, 1, &low);
  SafeArrayGetUBound(array, 1, &high);
  for (LONG i = low; i <= high; ++i) {
    if (elementType == VT_VARIANT) {
      OwnedVariant element, converted;
      SafeArrayGetElement(array, &i, &element.v);
      if (FAILED(VariantChangeType(&converted.v, &element.v, 0, VT_R8)))
        Fail("配列の要素を数値に変換できません", DISP_E_TYPEMISMATCH);
      values.push_back(converted.v.dblVal);
    } else {
      OwnedVariant element, converted;
      element.v.vt = elementType;
      SafeArrayGetElement(array, &i, &element.v.llVal);
      if (FAILED(VariantChangeType(&converted.v, &element.v, 0, VT_R8)))
        Fail("配列の要素を数値に変換できません", DISP_E_TYPEMISMATCH);
      values.push_back(converted.v.dblVal);
    }
  }
  return Variant(std::move(values));
}

Variant FromVariant(const VARIANT& in) {
  const VARIANT* v = &in;
  while (v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
  VARTYPE type = v->vt;
  if (type & VT_ARRAY) {
    SAFEARRAY* array = (type & VT_BYREF) ? *v->pparray : v->parray;
    return ArrayFrom(array, type & VT_TYPEMASK);
  }
  OwnedVariant plain;
  if (type & VT_BYREF) {
    if (FAILED(VariantCopyInd(&plain.v, const_cast<VARIANT*>(v))))
      Fail("VariantCopyInd", DISP_E_TYPEMISMATCH);
    v = &plain.v;
    type = v->vt;
  }
  switch (type) {
    case VT_EMPTY:
    case VT_NULL:
      return Variant();
    case VT_I1:
      return Variant(std::int64_t{v->cVal});
    case VT_UI1:
      return Variant(std::int64_t{v->bVal});
    case VT_I2:
      return Variant(std::int64_t{v->iVal});
    case VT_UI2:
      return Variant(std::int64_t{v->uiVal});
    case VT_I4:
    case VT_INT:
      return Variant(std::int64_t{v->lVal});
    case VT_UI4:
    case VT_UINT:
      return Variant(std::int64_t{v->ulVal});
    case VT_I8:
      return Variant(std::int64_t{v->llVal});
    case VT_UI8:
      return Variant(static_cast<std::int64_t>(v->ullVal));
    case VT_R4:
      return Variant(double{v->fltVal});
    case VT_R8:
      return Variant(v->dblVal);
    case VT_BOOL:
      return Variant(v->boolVal != VARIANT_FALSE);
    case VT_BSTR:
      return Variant(v->bstrVal
                         ? WideToUtf8(std::wstring_view(v->bstrVal, SysStringLen(v->bstrVal)))
                         : std::string());
    case VT_DISPATCH:
      if (!v->pdispVal) return Variant();
      return Variant(WrapDispatch(v->pdispVal));
    case VT_UNKNOWN: {
      if (!v->punkVal) return Variant();
      IDispatch* dispatch = nullptr;
      if (FAILED(v->punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        Fail("IDispatch のないオブジェクト", E_NOINTERFACE);
      AutomationRef object = WrapDispatch(dispatch);
      dispatch->Release();
      return Variant(object);
    }
    default: {
      OwnedVariant converted;
      if (SUCCEEDED(VariantChangeType(&converted.v, const_cast<VARIANT*>(v), 0, VT_R8)))
        return Variant(converted.v.dblVal);
      Fail("扱えないオートメーションの型", DISP_E_TYPEMISMATCH);
    }
  }
}

class ComObject : public AutomationObject {
 public:
  explicit ComObject(IDispatch* dispatch) : dispatch_(dispatch) { dispatch_->AddRef(); }
  ~ComObject() override { dispatch_->Release(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  IDispatch* dispatch() const { return dispatch_; }

  Variant Get(std::string_view member) override {
    OwnedVariant result;
    DISPPARAMS params{};
    Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, params, &result.v);
    return FromVariant(result.v);
  }

  void Put(std::string_view member, const Variant& value) override {
    OwnedVariant argument;
    ToVariant(value, argument.v);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument.v, &named, 1, 1};
    Invoke(member, DISPATCH_PROPERTYPUT, params, nullptr);
  }

  Variant Call(std::string_view member, std::span<Argument> arguments) override {
    // An out object goes first as an object by reference, as servers that dispatch through
    // their type library demand; a server whose machinery refuses that as a type mismatch
    // (before the member is entered) is asked once more with a VARIANT by reference.
    bool objectsByReference = true;
    for (;;) {
      try {
        return CallOnce(member, arguments, objectsByReference);
      } catch (const ArgumentTypeRefused&) {
        bool hasOutObject = false;
        for (const auto& a : arguments) hasOutObject |= a.pass == Argument::Pass::OutObject;
        if (!objectsByReference || !hasOutObject) throw;
        objectsByReference = false;
      }
    }
  }

 private:
  Variant CallOnce(std::string_view member, std::span<Argument> arguments,
                   bool objectsByReference) {
    // IDispatch takes the arguments last first; out arguments point at values of ours.
    size_t n = arguments.size();
    std::vector<VARIANT> slots(n), outs(n);
    std::vector<IDispatch*> objects(n, nullptr);
    for (auto& v : slots) VariantInit(&v);
    for (auto& v : outs) VariantInit(&v);
    struct Cleanup {
      std::vector<VARIANT>& a;
      std::vector<VARIANT>& b;
      std::vector<IDispatch*>& c;
      ~Cleanup() {
        for (auto& v : a) VariantClear(&v);
        for (auto& v : b) VariantClear(&v);
        for (auto* d : c)
          if (d) d->Release();
      }
    } cleanup{slots, outs, objects};
    for (size_t i = 0; i < n; ++i) {
      VARIANT& slot = slots[n - 1 - i];
      switch (arguments[i].pass) {
        case Argument::Pass::In:
          ToVariant(arguments[i].value, slot);
          break;
        case Argument::Pass::Missing:
          slot.vt = VT_ERROR;
          slot.scode = DISP_E_PARAMNOTFOUND;
          break;
        case Argument::Pass::OutObject:
          if (objectsByReference) {
            slot.vt = VT_BYREF | VT_DISPATCH;
            slot.ppdispVal = &objects[i];
            break;
          }
          [[fallthrough]];
        case Argument::Pass::Out:
          ToVariant(arguments[i].value, outs[i]);
          slot.vt = VT_BYREF | VT_VARIANT;
          slot.pvarVal = &outs[i];
          break;
      }
    }
    DISPPARAMS params{slots.data(), nullptr, static_cast<UINT>(n), 0};
    OwnedVariant result;
    Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, params, &result.v);
    for (size_t i = 0; i < n; ++i) {
      if (!arguments[i].out()) continue;
      VARIANT& slot = slots[n - 1 - i];
      if (slot.vt == (VT_BYREF | VT_DISPATCH))
        arguments[i].value = objects[i] ? Variant(WrapDispatch(objects[i])) : Variant();
      else
        arguments[i].value = FromVariant(outs[i]);
      slot.vt = VT_EMPTY;  // the reference is not ours to clear
    }
    return FromVariant(result.v);
  }

  DISPID Id(std::string_view member) {
    std::string key(member);
    auto found = ids_.find(key);
    if (found != ids_.end()) return found->second;
    std::wstring wide = Utf8ToWide(member);
    LPOLESTR name = wide.data();
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr;
    while (IsBusy(hr = dispatch_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)))
      Sleep(kBusyRetryMs);
    if (FAILED(hr)) Fail(key, hr);
    ids_.emplace(std::move(key), id);
    return id;
  }

  void Invoke(std::string_view member, WORD flags, DISPPARAMS& params, VARIANT* result) {
    DISPID id = Id(member);
    for (;;) {
      EXCEPINFO info{};
      UINT badArgument = 0;
      HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                     &info, &badArgument);
      if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
      HRESULT reported = hr == DISP_E_EXCEPTION && FAILED(info.scode) ? info.scode : hr;
      if (IsBusy(hr) || IsBusy(reported)) {
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        Sleep(kBusyRetryMs);
        continue;
      }
      if (FAILED(hr)) {
        struct Free {
          EXCEPINFO& i;
          ~Free() {
            SysFreeString(i.bstrSource);
            SysFreeString(i.bstrDescription);
            SysFreeString(i.bstrHelpFile);
          }
        } free{info};
        if (hr == DISP_E_TYPEMISMATCH)
          throw ArgumentTypeRefused(std::string(member) + ": " + HexCode(hr), hr);
        Fail(std::string(member), reported, &info);
      }
      return;
    }
  }

  IDispatch* dispatch_;
  std::map<std::string, DISPID, std::less<>> ids_;
};

AutomationRef WrapDispatch(IDispatch* dispatch) { return std::make_shared<ComObject>(dispatch); }

}  // namespace

IDispatch* DispatchOf(const AutomationRef& object) {
  auto* com = dynamic_cast<ComObject*>(object.get());
  return com ? com->dispatch() : nullptr;
}

ComAutomationHost::ComAutomationHost() {
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  uninitialise_ = SUCCEEDED(hr);
}

ComAutomationHost::~ComAutomationHost() {
  if (uninitialise_) CoUninitialize();
}

AutomationRef ComAutomationHost::GetActiveObject(const std::string& progId) {
  std::wstring wide = Utf8ToWide(progId);
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(wide.c_str(), &clsid);
  if (FAILED(hr)) Fail(progId, hr);
  // A busy program refuses the calls behind these as well (the interface query goes to it):
  // they are retried like every other call.
  IUnknown* unknown = nullptr;
  while (IsBusy(hr = ::GetActiveObject(clsid, nullptr, &unknown))) Sleep(kBusyRetryMs);
  if (FAILED(hr)) Fail(progId, hr);
  IDispatch* dispatch = nullptr;
  while (IsBusy(hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
    Sleep(kBusyRetryMs);
  unknown->Release();
  if (FAILED(hr)) Fail(progId, hr);
  AutomationRef object = WrapDispatch(dispatch);
  dispatch->Release();
  return object;
}

}  // namespace tesnova
