// What a screen reader reads of the program's controls, read as it reads
// them (the accessibility library's AccessibleObjectFromWindow), in this
// process: Wine hands no accessible object to another one.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/accessibility.h"
#include "runtime/canvas.h"
#include "runtime/windowing.h"

namespace {

// Spelled out: the import library's IID_IAccessible is not the GUID when linked statically.
const GUID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct Read {
  std::wstring name, value;
  long role = -1;
  HRESULT valueResult = E_FAIL;
};

bool operator==(const Read& a, const Read& b) { return a.name == b.name && a.role == b.role && a.value == b.value; }

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string Describe(const Read& r) {
  return "'" + Narrow(r.name) + "', role " + std::to_string(r.role) + ", '" + Narrow(r.value) + "'";
}

// What a client may ask an accessible object for: its own interfaces, the
// standard object's, and those COM asks when it hands the object to another
// process. Spelled out, as kIidAccessible is.
const GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const struct {
  const char* name;
  GUID iid;
} kInterfaces[] = {
    {"IUnknown", kIidUnknown},
    {"IDispatch", {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}},
    {"IAccessible", kIidAccessible},
    {"IEnumVARIANT", {0x00020404, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}},
    {"IOleWindow", {0x00000114, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}},
    {"IServiceProvider", {0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}}},
    {"IAccIdentity", {0x7852B78D, 0x1CFD, 0x41C1, {0xA6, 0x15, 0x9C, 0x0C, 0x85, 0x96, 0x0B, 0x5F}}},
    {"IMarshal", {0x00000003, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}},
    {"IStdMarshalInfo", {0x00000018, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}},
    {"IExternalConnection", {0x00000019, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}},
    {"IProvideClassInfo", {0xB196B283, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}}},
};

// The child id that names the object itself.
VARIANT Self() {
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  return self;
}

Read ReadObject(IAccessible* object) {
  Read r;
  VARIANT self = Self();
  BSTR text = nullptr;
  if (SUCCEEDED(object->get_accName(self, &text)) && text) r.name = text;
  SysFreeString(text);
  text = nullptr;
  r.valueResult = object->get_accValue(self, &text);
  if (SUCCEEDED(r.valueResult) && text) r.value = text;
  SysFreeString(text);
  VARIANT role;
  VariantInit(&role);
  if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) r.role = role.lVal;
  return r;
}

IAccessible* ObjectOf(int control) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow((HWND)ControlHandle(control), (DWORD)OBJID_CLIENT, kIidAccessible,
                                        (void**)&object)))
    return nullptr;
  return object;
}

// Name, role and value read by late binding, as a script reads them.
Read ReadByDispatch(IDispatch* object) {
  Read r;
  VARIANT self = Self();
  DISPPARAMS params = {&self, nullptr, 1, 0};
  auto get = [&](DISPID property, VARIANT* result) {
    VariantInit(result);
    return SUCCEEDED(object->Invoke(property, IID_NULL, 0, DISPATCH_PROPERTYGET, &params, result, nullptr, nullptr));
  };
  VARIANT result;
  if (get(DISPID_ACC_NAME, &result) && result.vt == VT_BSTR && result.bstrVal) r.name = result.bstrVal;
  VariantClear(&result);
  if (get(DISPID_ACC_VALUE, &result) && result.vt == VT_BSTR && result.bstrVal) r.value = result.bstrVal;
  VariantClear(&result);
  if (get(DISPID_ACC_ROLE, &result) && result.vt == VT_I4) r.role = result.lVal;
  VariantClear(&result);
  return r;
}

// What is wrong with the object as a client sees it, a line each: every
// interface it answers must lead back to its one IUnknown, and to an
// IAccessible and IDispatch that read `expected`; it must tell its window.
std::string ObjectFaults(IAccessible* object, HWND window, const Read& expected) {
  std::string faults;
  IUnknown* identity = nullptr;
  if (FAILED(object->QueryInterface(kIidUnknown, (void**)&identity))) return "no IUnknown\n";
  for (const auto& asked : kInterfaces) {
    IUnknown* answer = nullptr;
    if (FAILED(object->QueryInterface(asked.iid, (void**)&answer)) || !answer) continue;
    std::string from = std::string("from ") + asked.name + ": ";
    IUnknown* back = nullptr;
    if (FAILED(answer->QueryInterface(kIidUnknown, (void**)&back)) || back != identity)
      faults += from + "another IUnknown\n";
    if (back) back->Release();
    IAccessible* accessible = nullptr;
    if (FAILED(answer->QueryInterface(kIidAccessible, (void**)&accessible)) || !accessible) {
      faults += from + "no IAccessible\n";
    } else {
      Read r = ReadObject(accessible);
      if (!(r == expected)) faults += from + "IAccessible reads " + Describe(r) + "\n";
      r = ReadByDispatch(accessible);
      if (!(r == expected)) faults += from + "IDispatch reads " + Describe(r) + "\n";
      accessible->Release();
    }
    answer->Release();
  }
  HWND told = nullptr;
  if (FAILED(WindowFromAccessibleObject(object, &told)) || told != window) faults += "not its window\n";
  identity->Release();
  return faults;
}

// What a screen reader reads of the control at this moment.
Read ReadControl(int control) {
  Read r;
  if (IAccessible* object = ObjectOf(control)) {
    r = ReadObject(object);
    object->Release();
  }
  return r;
}

std::string g_value = "26";
std::string ValueOf(int) { return g_value; }

}  // namespace

class AccessibilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWindowing();
    window_ = OpenWindow(kAutoNumber, 100, 100, 300, 200, "Accessible", Window_SystemMenu);
    ASSERT_GT(window_, 0);
    HWND parent = (HWND)WindowHandle(window_);
    HWND label = CreateWindowExW(0, L"STATIC", L"B", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent, nullptr,
                                 nullptr, nullptr);
    label_ = RegisterControl(kAutoNumber, label, window_, CONTROL_STATIC_TEXT);
    canvas_ = CreateCanvas(kAutoNumber, window_, 40, 10, 100, 20, Canvas_Keyboard);
    HWND edit = CreateWindowExW(0, L"EDIT", L"#1A2B3C", WS_CHILD | WS_VISIBLE, 10, 40, 100, 20, parent, nullptr,
                                nullptr, nullptr);
    field_ = RegisterControl(kAutoNumber, edit, window_, CONTROL_TEXT_FIELD);
  }
  void TearDown() override { CloseAllWindows(); }
  int window_ = 0, label_ = 0, canvas_ = 0, field_ = 0;
};

TEST_F(AccessibilityTest, ACanvasSaysItsNameItsRoleAndItsValueWhenAsked) {
  EXPECT_EQ(ReadControl(canvas_).role, ROLE_SYSTEM_CLIENT);  // the platform's: a nameless client
  ASSERT_TRUE(SetControlAccessible(canvas_, "Red", ACCESSIBLE_SLIDER, ValueOf));
  IAccessible* object = ObjectOf(canvas_);
  ASSERT_TRUE(object);
  Read r = ReadObject(object);
  EXPECT_EQ(r.name, L"Red");
  EXPECT_EQ(r.role, ROLE_SYSTEM_SLIDER);
  EXPECT_EQ(r.value, L"26");
  // The value is the program's at the moment it is read.
  g_value = "27";
  EXPECT_EQ(ReadObject(object).value, L"27");
  // Given again, the control says the new words.
  ASSERT_TRUE(SetControlAccessible(canvas_, "Magnified view", ACCESSIBLE_GRAPHIC, ValueOf));
  EXPECT_EQ(ReadControl(canvas_).name, L"Magnified view");
  EXPECT_EQ(ReadControl(canvas_).role, ROLE_SYSTEM_GRAPHIC);
  // A client may hold an object longer than the control lives: it then
  // answers that it cannot say, and nothing breaks.
  ReleaseControl(canvas_);
  EXPECT_TRUE(FAILED(ReadObject(object).valueResult));
  object->Release();
  EXPECT_FALSE(SetControlAccessible(canvas_, "Gone", ACCESSIBLE_SLIDER, ValueOf));
}

TEST_F(AccessibilityTest, ANativeControlTakesANameOfItsOwnAndKeepsTheRest) {
  EXPECT_EQ(ReadControl(field_).name, L"B");  // the label before it
  ASSERT_TRUE(SetControlAccessible(field_, "Colour text", ACCESSIBLE_DEFAULT, nullptr));
  Read r = ReadControl(field_);
  EXPECT_EQ(r.name, L"Colour text");
  EXPECT_EQ(r.role, ROLE_SYSTEM_TEXT);
  EXPECT_EQ(r.value, L"#1A2B3C");
}

// Whatever a client asks of the object, it stays the program's object: the
// standard object it is built on never shows through (with the platform's
// words) by way of one of its other interfaces.
TEST_F(AccessibilityTest, EveryInterfaceOfTheObjectLeadsBackToItAndToTheProgramsWords) {
  g_value = "26";
  ASSERT_TRUE(SetControlAccessible(canvas_, "Red", ACCESSIBLE_SLIDER, ValueOf));
  ASSERT_TRUE(SetControlAccessible(field_, "Colour text", ACCESSIBLE_DEFAULT, nullptr));
  Read red, text;
  red.name = L"Red", red.role = ROLE_SYSTEM_SLIDER, red.value = L"26";
  text.name = L"Colour text", text.role = ROLE_SYSTEM_TEXT, text.value = L"#1A2B3C";
  for (auto [control, expected] : {std::pair(canvas_, red), std::pair(field_, text)}) {
    IAccessible* object = ObjectOf(control);
    ASSERT_TRUE(object);
    EXPECT_EQ(ObjectFaults(object, (HWND)ControlHandle(control), expected), "") << Describe(expected);
    object->Release();
  }
}

namespace {

struct AnotherApartment {
  HWND canvas;
  Read expected;
  std::string faults = "not read";
};

DWORD WINAPI ReadInAnotherApartment(void* data) {
  AnotherApartment* c = (AnotherApartment*)data;
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  IAccessible* object = nullptr;
  if (SUCCEEDED(AccessibleObjectFromWindow(c->canvas, (DWORD)OBJID_CLIENT, kIidAccessible, (void**)&object)) &&
      object) {
    c->faults = ObjectFaults(object, c->canvas, c->expected);
    object->Release();
  }
  CoUninitialize();
  return 0;
}

}  // namespace

// A screen reader in another process gets the object through COM, which
// hands it over in the way the object answers (its IMarshal, or COM's
// own); a client in another apartment of this process takes the same path.
TEST_F(AccessibilityTest, TheObjectHandedToAnotherApartmentIsStillTheProgramsOne) {
  g_value = "26";
  ASSERT_TRUE(SetControlAccessible(canvas_, "Red", ACCESSIBLE_SLIDER, ValueOf));
  HWND canvas = (HWND)ControlHandle(canvas_);
  Read red;
  red.name = L"Red", red.role = ROLE_SYSTEM_SLIDER, red.value = L"26";
  static AnotherApartment client;  // outlives a client that never ends
  client = {canvas, red};
  HANDLE thread = CreateThread(nullptr, 0, ReadInAnotherApartment, &client, 0, nullptr);
  ASSERT_TRUE(thread);
  // This thread serves the object while the client reads it.
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  ASSERT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(client.faults, "");
}
