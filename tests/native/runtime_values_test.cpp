#include "dialog/runtime_values.h"

#include <gtest/gtest.h>
#include <math.h>
#include <stdint.h>

TEST(RuntimeValues, VariablesAreReadByTypeCodeWhenAsked) {
  ClearRuntimeValues();
  int8_t i8 = -5;
  int16_t i16 = -300;
  int32_t i32 = -70000;
  float f32 = -2.9f;
  uint8_t u8 = 250;
  double f64 = 7.99;
  uint16_t u16 = 65000;
  struct Case {
    int code;
    void* address;
    int value;
  } cases[] = {
      {RUNTIME_INT8, &i8, -5},       {RUNTIME_INT16, &i16, -300}, {RUNTIME_INT32, &i32, -70000},
      {RUNTIME_LONG, &i32, -70000},  {RUNTIME_FLOAT32, &f32, -2}, {RUNTIME_UINT8, &u8, 250},
      {RUNTIME_FLOAT64, &f64, 7},    {RUNTIME_UINT16, &u16, 65000}, {2, &i32, 0}, {RUNTIME_LONG, nullptr, 0},
  };
  for (const Case& c : cases) {
    RegisterRuntimeVariable("Value", c.address, c.code);
    EXPECT_EQ(RuntimeValueOf("vALUE"), c.value) << c.code;
  }
  RegisterRuntimeVariable("Late", &i32, RUNTIME_LONG);
  i32 = 12;
  EXPECT_EQ(RuntimeValueOf("late"), 12);

  RegisterRuntimeFloat("Big", 1e30);
  RegisterRuntimeFloat("Half", -0.5);
  RegisterRuntimeInteger("Int", 99);
  EXPECT_EQ(RuntimeValueOf("Half"), 0);
  EXPECT_EQ(RuntimeValueOf("INT"), 99);
  EXPECT_TRUE(IsRuntimeName("big"));
  // Beyond the 32-bit range a floating value gives the nearest 32-bit integer.
  EXPECT_EQ(RuntimeValueOf("Big"), INT32_MAX);
  const struct {
    double value;
    int expected;
  } floats[] = {
      {2147483647.0, INT32_MAX}, {2147483648.0, INT32_MAX}, {4294967296.0 + 5, INT32_MAX},
      {-2147483648.0, INT32_MIN}, {-2147483649.0, INT32_MIN}, {-1e300, INT32_MIN},
      {2147483646.9, 2147483646}, {-2147483647.9, -2147483647}, {NAN, 0},
  };
  for (const auto& f : floats) {
    RegisterRuntimeFloat("Edge", f.value);
    EXPECT_EQ(RuntimeValueOf("Edge"), f.expected) << f.value;
  }
  static double wide = 1e12;
  static float narrow = -3e9f;
  RegisterRuntimeVariable("WideVariable", &wide, RUNTIME_FLOAT64);
  RegisterRuntimeVariable("NarrowVariable", &narrow, RUNTIME_FLOAT32);
  EXPECT_EQ(RuntimeValueOf("WideVariable"), INT32_MAX);
  EXPECT_EQ(RuntimeValueOf("NarrowVariable"), INT32_MIN);
  EXPECT_FALSE(IsRuntimeName("missing"));
  EXPECT_EQ(RuntimeValueOf("missing"), 0);
  EXPECT_FALSE(IsRuntimeName(nullptr));
}
