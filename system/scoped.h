// Scoped owners of Windows handles: each closes what it owns when it goes,
// on every way out of the code that opened it.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <utility>

// Owns one handle of a kind: Traits says what an empty one is and how one
// is closed.
template <typename Traits>
class Scoped {
public:
    using Handle = typename Traits::Handle;

    Scoped() = default;
    explicit Scoped(Handle handle) : handle_(handle) {}
    ~Scoped() { reset(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : handle_(std::exchange(other.handle_, Traits::empty())) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, Traits::empty());
        }
        return *this;
    }

    Handle get() const { return handle_; }
    // For the calls that hand a new handle out through a pointer.
    Handle* out() {
        reset();
        return &handle_;
    }
    explicit operator bool() const { return handle_ != Traits::empty(); }
    void reset(Handle handle = Traits::empty()) {
        if (handle_ != Traits::empty()) Traits::close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::empty();
};

struct FileHandleTraits {  // files and snapshots: INVALID_HANDLE_VALUE when none
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void close(Handle handle) { CloseHandle(handle); }
};
struct KernelHandleTraits {  // processes, threads, mutexes, events: nullptr when none
    using Handle = HANDLE;
    static Handle empty() { return nullptr; }
    static void close(Handle handle) { CloseHandle(handle); }
};
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle empty() { return nullptr; }
    static void close(Handle key) { RegCloseKey(key); }
};
struct ModuleTraits {  // a library loaded with LoadLibrary*
    using Handle = HMODULE;
    static Handle empty() { return nullptr; }
    static void close(Handle module) { FreeLibrary(module); }
};
template <typename Object>
struct GdiObjectTraits {  // fonts, bitmaps
    using Handle = Object;
    static Handle empty() { return nullptr; }
    static void close(Handle object) { DeleteObject(object); }
};
struct IconTraits {  // an icon loaded with LoadImage or made by the program (not a shared one)
    using Handle = HICON;
    static Handle empty() { return nullptr; }
    static void close(Handle icon) { DestroyIcon(icon); }
};
struct MemoryDcTraits {  // a device context made with CreateCompatibleDC
    using Handle = HDC;
    static Handle empty() { return nullptr; }
    static void close(Handle dc) { DeleteDC(dc); }
};

using ScopedFile = Scoped<FileHandleTraits>;
using ScopedHandle = Scoped<KernelHandleTraits>;
using ScopedKey = Scoped<RegistryKeyTraits>;
using ScopedModule = Scoped<ModuleTraits>;
using ScopedFont = Scoped<GdiObjectTraits<HFONT>>;
using ScopedBitmap = Scoped<GdiObjectTraits<HBITMAP>>;
using ScopedIcon = Scoped<IconTraits>;
using ScopedMemoryDc = Scoped<MemoryDcTraits>;

// An object selected into a device context, the one it replaced selected
// again when this goes.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), replaced_(SelectObject(dc, object)) {}
    ~ScopedSelection() {
        if (replaced_ != nullptr && replaced_ != HGDI_ERROR) SelectObject(dc_, replaced_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ replaced_;
};

// A window's device context, released to the window when it goes.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
