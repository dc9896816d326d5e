// Owners of Win32 handles, GDI objects and COM interface pointers: each closes, deletes or
// releases what it holds exactly once, when it is reset, reassigned or goes out of scope.
// Moving hands the ownership over; nothing is copied except COM pointers (which add a
// reference).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>
#include <oleauto.h>
#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace fw {

// A handle of type Traits::Type with Traits::Invalid() as "none" and Traits::Close to free it.
template <class Traits>
class UniqueHandleOf {
public:
    using Type = typename Traits::Type;

    UniqueHandleOf() = default;
    explicit UniqueHandleOf(Type handle) : m_h(handle) {}
    ~UniqueHandleOf() { Reset(); }
    UniqueHandleOf(const UniqueHandleOf&) = delete;
    UniqueHandleOf& operator=(const UniqueHandleOf&) = delete;
    UniqueHandleOf(UniqueHandleOf&& other) noexcept : m_h(other.Release()) {}
    UniqueHandleOf& operator=(UniqueHandleOf&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Type Get() const { return m_h; }
    bool Valid() const { return m_h != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }

    // Frees what is held and takes `handle` (none by default).
    void Reset(Type handle = Traits::Invalid()) {
        if (m_h != Traits::Invalid() && m_h != handle) Traits::Close(m_h);
        m_h = handle;
    }
    // Gives up ownership without freeing.
    Type Release() {
        Type h = m_h;
        m_h = Traits::Invalid();
        return h;
    }
    // For functions that return a handle through a pointer: frees what is held first.
    Type* Put() {
        Reset();
        return &m_h;
    }

private:
    Type m_h = Traits::Invalid();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::CloseHandle(h); }
};
// CreateFile and the find functions answer INVALID_HANDLE_VALUE for failure.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::RegCloseKey(h); }
};
template <class T>
struct GdiObjectTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};
struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};
struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::ImageList_Destroy(h); }
};
struct DcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteDC(h); }
};
struct BstrTraits {
    using Type = BSTR;
    static Type Invalid() { return nullptr; }
    static void Close(Type s) { ::SysFreeString(s); }
};

struct MenuTraits {
    using Type = HMENU;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DestroyMenu(h); }
};
// LocalFree for what the system's security and command-line functions hand out.
struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::LocalFree(h); }
};
struct UrlCacheFindTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::FindCloseUrlCache(h); }
};
// A pop-up window that belongs to one control. A child cannot own a pop-up (the system hands
// the ownership to the child's top-level window), so the control destroys it itself; when
// the top-level window went first, the pop-up is already gone.
struct PopupTraits {
    using Type = HWND;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) {
        if (::IsWindow(h)) ::DestroyWindow(h);
    }
};

using UniqueHandle = UniqueHandleOf<KernelHandleTraits>;   // events, threads, processes
using UniqueFile = UniqueHandleOf<FileHandleTraits>;
using UniqueFind = UniqueHandleOf<FindHandleTraits>;
using UniqueRegKey = UniqueHandleOf<RegKeyTraits>;
using UniqueBitmap = UniqueHandleOf<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueHandleOf<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandleOf<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandleOf<GdiObjectTraits<HPEN>>;
using UniqueRgn = UniqueHandleOf<GdiObjectTraits<HRGN>>;
using UniqueIcon = UniqueHandleOf<IconTraits>;
using UniqueImageList = UniqueHandleOf<ImageListTraits>;
using UniqueDc = UniqueHandleOf<DcTraits>;
using UniqueBstr = UniqueHandleOf<BstrTraits>;  // COM strings, from SysAllocString or a getter
using UniqueMenu = UniqueHandleOf<MenuTraits>;
using UniqueLocal = UniqueHandleOf<LocalMemoryTraits>;
using UniqueUrlCacheFind = UniqueHandleOf<UrlCacheFindTraits>;  // FindFirstUrlCacheEntry
using UniquePopup = UniqueHandleOf<PopupTraits>;

// A window's DC from GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : m_hWnd(hwnd), m_hDC(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// Selects an object into a DC and puts the previous one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hOld(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectObjectScope() {
        if (m_hOld) ::SelectObject(m_hDC, m_hOld);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// One reference to a COM object.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Adds a reference of its own; use Adopt for a pointer whose reference is handed over.
    explicit ComPtr(T* p) : m_p(p) {
        if (m_p) m_p->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.m_p) {}
    ComPtr(ComPtr&& other) noexcept : m_p(other.Detach()) {}
    ~ComPtr() { Reset(); }
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }

    static ComPtr Adopt(T* p) {
        ComPtr r;
        r.m_p = p;
        return r;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    void Reset() {
        T* p = m_p;
        m_p = nullptr;
        if (p) p->Release();
    }
    // Gives up the reference without releasing it.
    T* Detach() {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }
    // For functions that hand out an interface through a pointer: releases what is held.
    T** Put() {
        Reset();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    // QueryInterface for `iid` into `out` (released first).
    template <class U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const {
        if (!m_p) {
            out.Reset();
            return E_POINTER;
        }
        return m_p->QueryInterface(iid, out.PutVoid());
    }

private:
    T* m_p = nullptr;
};

} // namespace fw
