// One owner for every kind of handle: non-copyable, movable, closed once.
#pragma once

#include <windows.h>

#include <utility>

template <class Handle, auto Close, Handle Invalid = Handle{}>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Invalid; }
    Handle* put() noexcept {
        reset();
        return &m_handle;
    }
    Handle release() noexcept { return std::exchange(m_handle, Invalid); }
    void reset(Handle handle = Invalid) noexcept {
        if (m_handle != Invalid) Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = Invalid;
};

inline void CloseRegKey(HKEY key) noexcept { ::RegCloseKey(key); }
inline void CloseKernelHandle(HANDLE handle) noexcept { ::CloseHandle(handle); }
inline void DeleteGdiObject(HGDIOBJ object) noexcept { ::DeleteObject(object); }
inline void DeleteMemoryDC(HDC dc) noexcept { ::DeleteDC(dc); }

using UniqueHkey = UniqueHandle<HKEY, CloseRegKey>;
using UniqueFile = UniqueHandle<HANDLE, CloseKernelHandle, INVALID_HANDLE_VALUE>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteGdiObject>;
using UniqueMemoryDC = UniqueHandle<HDC, DeleteMemoryDC>;
