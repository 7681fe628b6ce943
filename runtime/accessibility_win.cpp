// The accessible objects of the program's controls on Win32: a control given
// a name, role or value answers the system's request for its object
// (WM_GETOBJECT) with the accessibility library's standard object for its
// window, wrapped so that these three come from the program. The library
// (oleacc) is loaded from the system folder the first time a client asks,
// so a run without assistive technology never loads it.
#include "runtime/win32_internal.h"  // windows.h first

#include <oleacc.h>

#include <unordered_map>

#include "runtime/accessibility.h"
#include "runtime/win_text.h"
#include "runtime/windowing.h"

// Spelled out: linked statically, the import library's IID_IAccessible can
// resolve to a jump into oleacc rather than the GUID.
static const GUID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
static const GUID kIidDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// What the program says about one control.
struct AccessibleInfo {
  int control;
  std::wstring name;  // empty: the platform's
  AccessibleRole role;
  AccessibleValueSource value;
};

//-----------------------------------------------------------------------------
// The libraries, loaded when first needed
//-----------------------------------------------------------------------------

typedef HRESULT(WINAPI* CreateStdAccessibleObjectProc)(HWND, LONG, REFIID, void**);
typedef LRESULT(WINAPI* LresultFromObjectProc)(REFIID, WPARAM, LPUNKNOWN);
typedef BSTR(WINAPI* SysAllocStringProc)(const OLECHAR*);
typedef HRESULT(WINAPI* CoInitializeExProc)(void*, DWORD);

struct AccessibilityCalls {
  CreateStdAccessibleObjectProc createStandard;  // oleacc
  LresultFromObjectProc answer;                  // oleacc
  SysAllocStringProc allocateString;             // oleaut32
};

static const AccessibilityCalls& Accessibility() {
  static AccessibilityCalls calls;
  static bool looked = false;
  if (!looked) {
    looked = true;
    calls.createStandard =
        (CreateStdAccessibleObjectProc)(void*)SystemProcedure(L"oleacc.dll", "CreateStdAccessibleObject");
    calls.answer = (LresultFromObjectProc)(void*)SystemProcedure(L"oleacc.dll", "LresultFromObject");
    calls.allocateString = (SysAllocStringProc)(void*)SystemProcedure(L"oleaut32.dll", "SysAllocString");
  }
  return calls;
}

static BSTR NewBstr(const std::wstring& text) {
  SysAllocStringProc allocate = Accessibility().allocateString;
  return allocate ? allocate(text.c_str()) : nullptr;
}

// A client in another process reaches the object through COM, which the
// thread then serves from its message loop: a single-threaded apartment,
// entered once and kept for the life of the process.
static void EnterComApartmentOnce() {
  static bool entered = false;
  if (entered) return;
  entered = true;
  auto initialize = (CoInitializeExProc)(void*)SystemProcedure(L"ole32.dll", "CoInitializeEx");
  if (initialize) initialize(nullptr, COINIT_APARTMENTTHREADED);
}

//-----------------------------------------------------------------------------
// The wrapper: the standard object, with the program's name, role and value
//-----------------------------------------------------------------------------

static LONG RoleCode(AccessibleRole role) {
  switch (role) {
    case ACCESSIBLE_SLIDER: return ROLE_SYSTEM_SLIDER;
    case ACCESSIBLE_GRAPHIC: return ROLE_SYSTEM_GRAPHIC;
    case ACCESSIBLE_LIST: return ROLE_SYSTEM_LIST;
    case ACCESSIBLE_PUSH_BUTTON: return ROLE_SYSTEM_PUSHBUTTON;
    case ACCESSIBLE_DEFAULT: break;
  }
  return 0;
}

static bool IsSelf(const VARIANT& id) { return id.vt == VT_I4 && id.lVal == CHILDID_SELF; }

class AccessibleWrapper final : public IAccessible {
 public:
  AccessibleWrapper(IAccessible* standard, HWND hwnd, const AccessibleInfo& info)
      : standard_(standard), hwnd_(hwnd), info_(info) {}

  // IUnknown. Interfaces other than these three are the standard object's
  // (the enumeration of its children, the window it stands for).
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualGUID(iid, kIidUnknown) || IsEqualGUID(iid, kIidDispatch) || IsEqualGUID(iid, kIidAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return standard_->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch: the standard object's.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument) override {
    return standard_->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }

  // IAccessible: the name, role and value of the control itself are the
  // program's; everything else, its children's included, the standard object's.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override {
    if (!IsSelf(id) || info_.name.empty()) return standard_->get_accName(id, name);
    if (!name) return E_POINTER;
    *name = NewBstr(info_.name);
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
    if (!IsSelf(id) || info_.role == ACCESSIBLE_DEFAULT) return standard_->get_accRole(id, role);
    if (!role) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = RoleCode(info_.role);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
    if (!IsSelf(id) || !info_.value) return standard_->get_accValue(id, value);
    if (!value) return E_POINTER;
    *value = nullptr;
    // The program's controls live on this thread: a window gone means the control is.
    if (!IsWindow(hwnd_) || !ControlExists(info_.control)) return E_FAIL;
    *value = NewBstr(Utf8ToWide(info_.value(info_.control).c_str()));
    return *value ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override {
    return standard_->get_accChild(id, child);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* text) override {
    return standard_->get_accDescription(id, text);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override { return standard_->get_accState(id, state); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override { return standard_->get_accHelp(id, help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override {
    return standard_->get_accHelpTopic(file, id, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* keys) override {
    return standard_->get_accKeyboardShortcut(id, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* id) override { return standard_->get_accFocus(id); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* id) override { return standard_->get_accSelection(id); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override {
    return standard_->get_accDefaultAction(id, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override { return standard_->accSelect(flags, id); }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* width, LONG* height, VARIANT id) override {
    return standard_->accLocation(x, y, width, height, id);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* id) override { return standard_->accHitTest(x, y, id); }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override { return standard_->accDoDefaultAction(id); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT id, BSTR name) override { return standard_->put_accName(id, name); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT id, BSTR value) override {
    return standard_->put_accValue(id, value);
  }

 private:
  ~AccessibleWrapper() { standard_->Release(); }
  IAccessible* standard_;
  HWND hwnd_;
  AccessibleInfo info_;  // a copy: a client may hold the object longer than the control lives
  LONG references_ = 1;
};

// Out of the class body: inline there, the 32-bit compiler's guess that the
// standard object's Release is this one clashes with it in the sections
// -ffunction-sections makes.
ULONG STDMETHODCALLTYPE AccessibleWrapper::AddRef() { return (ULONG)InterlockedIncrement(&references_); }
ULONG STDMETHODCALLTYPE AccessibleWrapper::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return (ULONG)left;
}

// The answer to WM_GETOBJECT for the client area; false when the library or
// the standard object is missing, and the platform answers instead.
static bool AnswerAccessibleObject(HWND hwnd, const AccessibleInfo& info, WPARAM wParam, LRESULT* result) {
  const AccessibilityCalls& calls = Accessibility();
  if (!calls.createStandard || !calls.answer) return false;
  EnterComApartmentOnce();
  IAccessible* standard = nullptr;
  if (FAILED(calls.createStandard(hwnd, OBJID_CLIENT, kIidAccessible, (void**)&standard)) || !standard) return false;
  AccessibleWrapper* wrapper = new AccessibleWrapper(standard, hwnd, info);
  *result = calls.answer(kIidAccessible, wParam, static_cast<IAccessible*>(wrapper));
  wrapper->Release();  // the answer holds its own reference
  return true;
}

//-----------------------------------------------------------------------------
// Controls
//-----------------------------------------------------------------------------

// What the program says, by window, and the window procedure the window had
// before; kept while the window lives.
struct AccessibleWindow {
  AccessibleInfo info;
  WNDPROC original;
};
static std::unordered_map<HWND, AccessibleWindow> g_accessible;

// Put before the control's own procedure, which it calls directly: the
// common controls' subclassing would look up a window property at every
// message, a round trip to the window server under Wine.
static LRESULT CALLBACK AccessibleWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto it = g_accessible.find(hwnd);
  if (it == g_accessible.end()) return DefWindowProcW(hwnd, msg, wParam, lParam);
  WNDPROC original = it->second.original;
  // Compared as a DWORD: 64-bit Windows may hand the identifier over unextended.
  if (msg == WM_GETOBJECT && (DWORD)lParam == (DWORD)OBJID_CLIENT) {
    AccessibleInfo info = it->second.info;  // the standard object's questions may come back here
    LRESULT result = 0;
    if (AnswerAccessibleObject(hwnd, info, wParam, &result)) return result;
  } else if (msg == WM_NCDESTROY) {
    g_accessible.erase(it);
  }
  return CallWindowProcW(original, hwnd, msg, wParam, lParam);
}

bool SetControlAccessible(int control, const char* name, AccessibleRole role, AccessibleValueSource value) {
  HWND hwnd = (HWND)ControlHandle(control);
  if (!hwnd) return false;
  AccessibleInfo info = {control, name ? Utf8ToWide(name) : std::wstring(), role, value};
  auto it = g_accessible.find(hwnd);
  if (it != g_accessible.end()) {
    it->second.info = info;
    return true;
  }
  WNDPROC original = (WNDPROC)GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  if (!original || !SetWindowLongPtrW(hwnd, GWLP_WNDPROC, (LONG_PTR)AccessibleWindowProc)) return false;
  g_accessible[hwnd] = AccessibleWindow{info, original};
  return true;
}

void NotifyAccessibleValueChanged(int control) {
  if (HWND hwnd = (HWND)ControlHandle(control)) NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
}
