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

Read ReadObject(IAccessible* object) {
  Read r;
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
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
