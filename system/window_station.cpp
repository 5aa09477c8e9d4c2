#include "system/window_station.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

bool SomeoneCanAnswer() {
    HWINSTA station = GetProcessWindowStation();
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    if (station == nullptr || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, &needed)) {
        return true;  // not known: as on an ordinary desktop
    }
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}
