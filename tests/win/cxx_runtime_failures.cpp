// Runs into one of the C++ runtime's failure paths, linked with
// runtime/cxx_runtime.cpp and built like the program (no exceptions):
//   cxx_runtime_failures.exe new|vector|string|terminate|nothrow|fine
// Each failure must end the process as abort() does; "nothrow" must get a
// null pointer and go on, "fine" must allocate and free as usual. What
// survives prints "survived".
#include <stdio.h>
#include <string.h>

#include <exception>
#include <new>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "";
  // More than any allocator can give, yet within what the containers accept
  // as a size, so that new fails rather than the size check.
  volatile size_t tooMuch = (size_t)-1 / 4;
  if (!strcmp(path, "new")) {
    char* p = new char[tooMuch];
    printf("new gave %p\n", (void*)p);
  } else if (!strcmp(path, "vector")) {
    std::vector<int> v;
    v.reserve((size_t)-1);  // beyond max_size(): the length error
  } else if (!strcmp(path, "string")) {
    std::string s;
    s.reserve((size_t)-1);
  } else if (!strcmp(path, "terminate")) {
    std::terminate();
  } else if (!strcmp(path, "nothrow")) {
    char* p = new (std::nothrow) char[tooMuch];
    if (p) return 1;
  } else if (!strcmp(path, "fine")) {
    std::vector<std::string> words(1000, std::string(100, 'x'));
    int* one = new int(7);
    bool same = words[999].size() == 100 && *one == 7;
    delete one;
    if (!same) return 1;
  } else {
    return 2;
  }
  printf("survived\n");
  return 0;
}
