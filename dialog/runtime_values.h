// Named runtime values: a process-wide table of integers, floating values and
// application variables that window descriptions may name where a number is
// expected. Names are compared without regard to letter case. No operating
// system here.
#pragma once
#include <stdint.h>

#include "runtime/event_queue.h"

// Type codes of a registered variable: how its bytes are read.
enum RuntimeTypeCode {
  RUNTIME_INT8 = 1,
  RUNTIME_INT16 = 3,
  RUNTIME_INT32 = 5,
  RUNTIME_FLOAT32 = 9,    // truncated toward zero
  RUNTIME_UINT8 = 11,
  RUNTIME_FLOAT64 = 12,   // truncated toward zero
  RUNTIME_LONG = 21,      // signed 32-bit, like RUNTIME_INT32
  RUNTIME_UINT16 = 25,
};

// A procedure a description binds to control events by name.
typedef void (*RuntimeProcedure)(const WindowEvent& event);

// Enters or replaces a variable; it is read each time a description names it.
void RegisterRuntimeVariable(const char* name, void* address, int typeCode);
void RegisterRuntimeInteger(const char* name, intptr_t value);
void RegisterRuntimeFloat(const char* name, double value);
// An integer entry whose value is the procedure's address.
void RegisterRuntimeProcedure(const char* name, RuntimeProcedure procedure);

bool IsRuntimeName(const char* name);
// The entry's current value as an integer; 0 for an unknown name. A variable
// of an unknown type code reads 0; floating values are truncated toward zero,
// those beyond the 32-bit range give INT32_MAX or INT32_MIN, NaN gives 0.
int RuntimeValueOf(const char* name);
// The procedure address an integer entry holds; 0 for an unknown name and
// for variables and floating entries, whose values are no addresses (binding
// the number a variable holds would call into nowhere).
intptr_t RuntimeProcedureOf(const char* name);

void ClearRuntimeValues();
