// String conversion helpers that <comutil.h> declares for _bstr_t but that
// mingw-w64 does not implement (the Microsoft toolchain has them in its COM
// support library). UnRAR needs them for its WMI query in isnt.cpp.
//
// Both follow the documented contract: a null input gives a null result, the
// text is converted with the ANSI code page, ConvertStringToBSTR's result is
// freed with SysFreeString and ConvertBSTRToString's with delete[].
//
// Out of memory or a conversion failure gives a null result instead of the
// _com_error exception the Microsoft versions throw: these run inside the
// DLL's C entry points, where an exception must not escape to the caller.
// _bstr_t copes with a null BSTR, and the WMI query then simply fails.

#include <windows.h>
#include <oleauto.h>
#include <comutil.h>

#include <new>

namespace _com_util {

BSTR WINAPI ConvertStringToBSTR(const char *pSrc)
{
  if (pSrc == nullptr)
    return nullptr;

  // The length includes the terminating null.
  const int wideLen = MultiByteToWideChar(CP_ACP, 0, pSrc, -1, nullptr, 0);
  if (wideLen <= 0)
    return nullptr;

  // SysAllocStringLen reserves room for one extra null beyond the length.
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(wideLen - 1));
  if (result == nullptr)
    return nullptr;

  if (MultiByteToWideChar(CP_ACP, 0, pSrc, -1, result, wideLen) != wideLen)
  {
    SysFreeString(result);
    return nullptr;
  }
  return result;
}

char *WINAPI ConvertBSTRToString(BSTR pSrc)
{
  if (pSrc == nullptr)
    return nullptr;

  // A BSTR carries its own length and may hold embedded nulls; convert all
  // of it plus the terminating null that follows it.
  const int wideLen = static_cast<int>(SysStringLen(pSrc)) + 1;
  const int narrowLen =
      WideCharToMultiByte(CP_ACP, 0, pSrc, wideLen, nullptr, 0, nullptr, nullptr);
  if (narrowLen <= 0)
    return nullptr;

  char *result = new (std::nothrow) char[narrowLen];
  if (result == nullptr)
    return nullptr;

  if (WideCharToMultiByte(CP_ACP, 0, pSrc, wideLen, result, narrowLen,
                          nullptr, nullptr) != narrowLen)
  {
    delete[] result;
    return nullptr;
  }
  return result;
}

} // namespace _com_util
