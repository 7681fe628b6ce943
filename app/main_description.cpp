#include "app/main_description.h"

#include "app/startup_values.h"
#include "dialog/runtime_values.h"

void RegisterLayoutValues() {
  // kLayoutValues holds DPIx1..DPIx13 then DPIy1..DPIy12; the two-digit names go first.
  static const int kOrder[kLayoutValueCount] = {9,  10, 11, 12, 0,  1,  2,  3,  4,  5,  6,  7, 8,
                                                22, 23, 24, 13, 14, 15, 16, 17, 18, 19, 20, 21};
  for (int i : kOrder) RegisterRuntimeVariable(kLayoutValues[i].name, kLayoutValues[i].variable, RUNTIME_LONG);
}
