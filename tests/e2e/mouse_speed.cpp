// Answers the system mouse speed as its exit code, read afresh: a running
// program may keep the value it read first.
#include <windows.h>

int main() {
  int speed = 0;
  if (!SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0)) return 0;
  return speed;
}
