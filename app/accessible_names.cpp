#include "app/accessible_names.h"

#include <commctrl.h>
#include <oleacc.h>

#include <cwchar>

namespace vidod {

namespace {

constexpr UINT_PTR kNameSubclass = 1;
constexpr wchar_t kNameProperty[] = L"Vidod.AccessibleName";  // the name a control was given
constexpr UINT_PTR kAnnounceSubclass = 2;
constexpr int kNameSize = 64;
#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
constexpr DWORD EVENT_OBJECT_LIVEREGIONCHANGED = 0x8019;
#endif
// The live setting of a label, as the accessibility properties know it.
constexpr GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kAssertive = 2;
// The accessibility property service. Its identifiers are taken by value:
// the import libraries of some toolchains define them twice.
constexpr CLSID kPropertyServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kPropertyServicesInterface = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

// The control's own accessible object under another name; every other
// question goes to that object.
class NamedAccessible : public IAccessible {
 public:
  NamedAccessible(IAccessible* own, const std::wstring& name) : own_(own), name_(name) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return own_->QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      own_->Release();
      delete this;
    }
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return own_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return own_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return own_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* wrong) override {
    return own_->Invoke(id, iid, locale, flags, parameters, result, exception, wrong);
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return own_->get_accName(child, name);
    *name = SysAllocString(name_.c_str());
    return *name ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return own_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return own_->get_accChildCount(count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return own_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return own_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return own_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return own_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return own_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return own_->get_accHelp(child, help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return own_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return own_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return own_->get_accFocus(child); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return own_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return own_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return own_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    return own_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return own_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return own_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return own_->accDoDefaultAction(child); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return own_->put_accName(child, name); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return own_->put_accValue(child, value);
  }

 private:
  virtual ~NamedAccessible() = default;

  LONG references_ = 1;
  IAccessible* own_;
  std::wstring name_;
};

LRESULT AnswerNamedObject(HWND control, WPARAM wParam, const std::wstring& name) {
  IAccessible* own = nullptr;
  if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&own))))
    return 0;
  NamedAccessible* named = new NamedAccessible(own, name);
  const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, named);
  named->Release();
  return result;
}

LRESULT CALLBACK NameSubclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR data) {
  auto* name = reinterpret_cast<std::wstring*>(data);
  switch (message) {
    case WM_GETOBJECT:
      if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const LRESULT result = AnswerNamedObject(control, wParam, *name)) return result;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(control, NameSubclass, kNameSubclass);
      RemovePropW(control, kNameProperty);
      delete name;
      break;
    default:
      break;
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

// Screen readers speak a live region's changes; systems without the property
// service go on with the events alone.
bool MarkLiveRegion(HWND label) {
  IAccPropServices* services = nullptr;
  if (FAILED(CoCreateInstance(kPropertyServices, nullptr, CLSCTX_INPROC_SERVER, kPropertyServicesInterface,
                              reinterpret_cast<void**>(&services))))
    return false;
  VARIANT setting;
  VariantInit(&setting);
  setting.vt = VT_I4;
  setting.lVal = kAssertive;
  const HRESULT result =
      services->SetHwndProp(label, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSettingProperty, setting);
  services->Release();
  return SUCCEEDED(result);
}

// data: whether the label is marked as a live region yet.
LRESULT CALLBACK AnnounceSubclass(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
  switch (message) {
    case WM_SETTEXT: {
      const LRESULT result = DefSubclassProc(label, message, wParam, lParam);
      if (!data && MarkLiveRegion(label)) SetWindowSubclass(label, AnnounceSubclass, kAnnounceSubclass, 1);
      NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, label, OBJID_CLIENT, CHILDID_SELF);
      NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, label, OBJID_CLIENT, CHILDID_SELF);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(label, AnnounceSubclass, kAnnounceSubclass);
      break;
    default:
      break;
  }
  return DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace

void SetAccessibleName(HWND control, const std::wstring& name) {
  if (!control) return;
  if (auto* kept = static_cast<std::wstring*>(GetPropW(control, kNameProperty))) {
    *kept = name;
  } else {
    kept = new std::wstring(name);
    if (SetWindowSubclass(control, NameSubclass, kNameSubclass, reinterpret_cast<DWORD_PTR>(kept)))
      SetPropW(control, kNameProperty, kept);
    else
      delete kept;
  }
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void AnnounceTextChanges(HWND label) {
  if (label) SetWindowSubclass(label, AnnounceSubclass, kAnnounceSubclass, 0);
}

std::wstring AnswerBoxName(int question, int answer, int answersPerQuestion) {
  wchar_t name[kNameSize];
  if (answersPerQuestion == 2)
    std::swprintf(name, kNameSize, L"R\u00e9ponse %d, question %d", answer, question);
  else
    std::swprintf(name, kNameSize, L"R\u00e9ponse, question %d", question);
  return name;
}

std::wstring PictureName(int question) {
  wchar_t name[kNameSize];
  std::swprintf(name, kNameSize, L"Image n\u00b0%d", question);
  return name;
}

}  // namespace vidod
