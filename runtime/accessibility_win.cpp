// The accessible objects of the program's controls on Win32: a control given
// a name, role or value answers the system's request for its object
// (WM_GETOBJECT) with the accessibility library's standard object for its
// window, wrapped so that these three come from the program, whichever of
// the object's interfaces a client holds, in this process or another. The
// library (oleacc) is loaded from the system folder the first time a client
// asks, so a run without assistive technology never loads it.
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
static const GUID kIidEnumVariant = {0x00020404, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const GUID kIidOleWindow = {0x00000114, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const GUID kIidNull = {};
// The type library that describes IAccessible, registered by oleacc.
static const GUID kLibidAccessibility = {0x1EA4DBF0, 0x3C3B, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

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
typedef HRESULT(WINAPI* LoadRegTypeLibProc)(REFGUID, WORD, WORD, LCID, ITypeLib**);

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

// IAccessible's description, which carries out the late-bound calls
// (IDispatch) on the wrapper's own methods; loaded once, kept for the life of
// the process. Null when the library is not registered.
static ITypeInfo* AccessibleTypeInfo() {
  static ITypeInfo* info = nullptr;
  static bool loaded = false;
  if (loaded) return info;
  loaded = true;
  auto load = (LoadRegTypeLibProc)(void*)SystemProcedure(L"oleaut32.dll", "LoadRegTypeLib");
  ITypeLib* library = nullptr;
  if (load && SUCCEEDED(load(kLibidAccessibility, 1, 1, 0, &library)) && library) {
    if (FAILED(library->GetTypeInfoOfGuid(kIidAccessible, &info))) info = nullptr;
    library->Release();
  }
  return info;
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

// One COM object with one identity: every interface it hands out is its own,
// so that from any of them a client gets back to the same IUnknown and to the
// program's words. It has none of the standard object's other interfaces:
// those speak for the standard object (its services, and any marshalling of
// its own, which would hand another process a standard object, with the
// platform's words, in place of this one). With no IMarshal the wrapper
// reaches another process through COM's proxy, and answers there itself.
class AccessibleWrapper final : public IAccessible, public IEnumVARIANT, public IOleWindow {
 public:
  AccessibleWrapper(IAccessible* standard, HWND hwnd, const AccessibleInfo& info)
      : standard_(standard), hwnd_(hwnd), info_(info) {}

  // IUnknown, shared by the three interfaces. The children's enumeration is
  // offered where the standard object has one to carry it out.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch: the late-bound calls reach the methods below, through
  // IAccessible's description.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = AccessibleTypeInfo() ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ITypeInfo* description = AccessibleTypeInfo();
    if (!description) return E_NOTIMPL;
    description->AddRef();
    *info = description;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (!IsEqualGUID(iid, kIidNull)) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* info = AccessibleTypeInfo();
    return info ? info->GetIDsOfNames(names, count, ids) : E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument) override {
    if (!IsEqualGUID(iid, kIidNull)) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* info = AccessibleTypeInfo();
    return info ? info->Invoke(static_cast<IAccessible*>(this), id, flags, params, result, exception, argument)
                : E_NOTIMPL;
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

  // IEnumVARIANT: the standard object's enumeration of the children.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
    return children_->Next(count, items, fetched);
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override { return children_->Skip(count); }
  HRESULT STDMETHODCALLTYPE Reset() override { return children_->Reset(); }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override;

  // IOleWindow: the window the object stands for.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = hwnd_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  ~AccessibleWrapper() {
    if (children_) children_->Release();
    standard_->Release();
  }
  IAccessible* standard_;
  IEnumVARIANT* children_ = nullptr;  // the standard object's, asked for when first needed
  HWND hwnd_;
  AccessibleInfo info_;  // a copy: a client may hold the object longer than the control lives
  LONG references_ = 1;
};

// Out of the class body: inline there, the 32-bit compiler's guess that the
// standard object's Release is this one clashes with it in the sections
// -ffunction-sections makes.
HRESULT STDMETHODCALLTYPE AccessibleWrapper::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualGUID(iid, kIidUnknown) || IsEqualGUID(iid, kIidDispatch) || IsEqualGUID(iid, kIidAccessible)) {
    *out = static_cast<IAccessible*>(this);
  } else if (IsEqualGUID(iid, kIidOleWindow)) {
    *out = static_cast<IOleWindow*>(this);
  } else if (IsEqualGUID(iid, kIidEnumVariant)) {
    if (!children_ && FAILED(standard_->QueryInterface(kIidEnumVariant, (void**)&children_))) children_ = nullptr;
    if (children_) *out = static_cast<IEnumVARIANT*>(this);
  }
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}
ULONG STDMETHODCALLTYPE AccessibleWrapper::AddRef() { return (ULONG)InterlockedIncrement(&references_); }
ULONG STDMETHODCALLTYPE AccessibleWrapper::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return (ULONG)left;
}

// The copy of an enumeration is another standard object: wrapped as well, so
// that it too leads to the program's words.
HRESULT STDMETHODCALLTYPE AccessibleWrapper::Clone(IEnumVARIANT** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  IEnumVARIANT* copy = nullptr;
  HRESULT hr = children_->Clone(&copy);
  if (FAILED(hr) || !copy) return FAILED(hr) ? hr : E_FAIL;
  IAccessible* standard = nullptr;
  if (FAILED(copy->QueryInterface(kIidAccessible, (void**)&standard)) || !standard) {
    copy->Release();
    return E_NOTIMPL;
  }
  AccessibleWrapper* wrapper = new AccessibleWrapper(standard, hwnd_, info_);
  wrapper->children_ = copy;
  *out = static_cast<IEnumVARIANT*>(wrapper);
  return S_OK;
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
