#include "dialog/runtime_values.h"

#include <string.h>

#include <string>
#include <unordered_map>

enum RuntimeEntryKind { ENTRY_INTEGER, ENTRY_FLOAT, ENTRY_VARIABLE };

struct RuntimeEntry {
  int kind;
  intptr_t integer;
  double floating;
  void* address;
  int typeCode;
};

static std::unordered_map<std::string, RuntimeEntry> g_values;

static std::string KeyOf(const char* name) {
  std::string key = name ? name : "";
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
  return key;
}

static void Enter(const char* name, const RuntimeEntry& entry) {
  if (name) g_values[KeyOf(name)] = entry;
}

void RegisterRuntimeVariable(const char* name, void* address, int typeCode) {
  Enter(name, RuntimeEntry{ENTRY_VARIABLE, 0, 0.0, address, typeCode});
}

void RegisterRuntimeInteger(const char* name, intptr_t value) {
  Enter(name, RuntimeEntry{ENTRY_INTEGER, value, 0.0, nullptr, 0});
}

void RegisterRuntimeFloat(const char* name, double value) {
  Enter(name, RuntimeEntry{ENTRY_FLOAT, 0, value, nullptr, 0});
}

void RegisterRuntimeProcedure(const char* name, RuntimeProcedure procedure) {
  RegisterRuntimeInteger(name, (intptr_t)procedure);
}

bool IsRuntimeName(const char* name) { return name && g_values.count(KeyOf(name)) != 0; }

// Floating values to integers by truncation; a value beyond the 32-bit range
// gives the nearest 32-bit integer (it does not wrap to a small or negative
// number), NaN gives 0.
static int64_t Truncate(double v) {
  if (!(v == v)) return 0;  // NaN
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return (int64_t)v;
}

static int64_t ReadVariable(const void* address, int typeCode) {
  if (!address) return 0;
  switch (typeCode) {
    case RUNTIME_INT8: { int8_t v; memcpy(&v, address, 1); return v; }
    case RUNTIME_INT16: { int16_t v; memcpy(&v, address, 2); return v; }
    case RUNTIME_INT32:
    case RUNTIME_LONG: { int32_t v; memcpy(&v, address, 4); return v; }
    case RUNTIME_FLOAT32: { float v; memcpy(&v, address, 4); return Truncate(v); }
    case RUNTIME_UINT8: { uint8_t v; memcpy(&v, address, 1); return v; }
    case RUNTIME_FLOAT64: { double v; memcpy(&v, address, 8); return Truncate(v); }
    case RUNTIME_UINT16: { uint16_t v; memcpy(&v, address, 2); return v; }
    default: return 0;
  }
}

static int64_t EntryValue(const char* name) {
  if (!name) return 0;
  auto it = g_values.find(KeyOf(name));
  if (it == g_values.end()) return 0;
  const RuntimeEntry& e = it->second;
  switch (e.kind) {
    case ENTRY_INTEGER: return (int64_t)e.integer;
    case ENTRY_FLOAT: return Truncate(e.floating);
    default: return ReadVariable(e.address, e.typeCode);
  }
}

int RuntimeValueOf(const char* name) { return (int)(int32_t)(uint32_t)(uint64_t)EntryValue(name); }

intptr_t RuntimeProcedureOf(const char* name) {
  if (!name) return 0;
  auto it = g_values.find(KeyOf(name));
  return it == g_values.end() || it->second.kind != ENTRY_INTEGER ? 0 : it->second.integer;
}

void ClearRuntimeValues() { g_values.clear(); }
