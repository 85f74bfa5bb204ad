// One owner for every kind of handle: non-copyable, movable, closed once.
#pragma once

#include <windows.h>

#include <utility>

template <class Handle, auto Close>
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
    explicit operator bool() const noexcept { return m_handle != Handle{}; }
    Handle* put() noexcept {
        reset();
        return &m_handle;
    }
    Handle release() noexcept { return std::exchange(m_handle, Handle{}); }
    void reset(Handle handle = Handle{}) noexcept {
        if (m_handle != Handle{}) Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle{};
};

inline void CloseRegKey(HKEY key) noexcept { ::RegCloseKey(key); }
inline void CloseKernelHandle(HANDLE handle) noexcept { ::CloseHandle(handle); }
inline void DeleteGdiObject(HGDIOBJ object) noexcept { ::DeleteObject(object); }
inline void DeleteMemoryDC(HDC dc) noexcept { ::DeleteDC(dc); }

using UniqueHkey = UniqueHandle<HKEY, CloseRegKey>;
// Holds null when empty: wrap CreateFile's result with AdoptFile.
using UniqueFile = UniqueHandle<HANDLE, CloseKernelHandle>;
inline UniqueFile AdoptFile(HANDLE file) noexcept {
    return UniqueFile(file == INVALID_HANDLE_VALUE ? nullptr : file);
}
using UniqueBrush = UniqueHandle<HBRUSH, DeleteGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteGdiObject>;
using UniqueMemoryDC = UniqueHandle<HDC, DeleteMemoryDC>;
