// UTF-8 <-> UTF-16 for the Win32 calls. Windows only.
#pragma once
#include <string>

std::wstring Utf8ToWide(const char* text);
std::string WideToUtf8(const wchar_t* text);
