#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace v270::win32 {

// Owns a GDI object (font, bitmap, region, brush, pen) and deletes it.
template <typename Handle>
class UniqueGdiObject {
  public:
    UniqueGdiObject() = default;
    explicit UniqueGdiObject(Handle handle) : handle_(handle) {}
    UniqueGdiObject(UniqueGdiObject&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueGdiObject& operator=(UniqueGdiObject&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    UniqueGdiObject(const UniqueGdiObject&) = delete;
    UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
    ~UniqueGdiObject() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr)
            DeleteObject(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueRegion = UniqueGdiObject<HRGN>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;

// Owns a memory device context and deletes it.
class UniqueMemoryDc {
  public:
    UniqueMemoryDc() = default;
    explicit UniqueMemoryDc(HDC dc) : dc_(dc) {}
    UniqueMemoryDc(UniqueMemoryDc&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    UniqueMemoryDc& operator=(UniqueMemoryDc&& other) noexcept {
        if (this != &other) {
            reset();
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    UniqueMemoryDc(const UniqueMemoryDc&) = delete;
    UniqueMemoryDc& operator=(const UniqueMemoryDc&) = delete;
    ~UniqueMemoryDc() { reset(); }

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    void reset() {
        if (dc_ != nullptr)
            DeleteDC(dc_);
        dc_ = nullptr;
    }

  private:
    HDC dc_ = nullptr;
};

// Selects an object into a device context for the scope and puts the previous one back, so
// that no object is deleted while a context still holds it.
class ScopedSelection {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;
    // Fonts, bitmaps, brushes and pens give back the previous object, or null on failure.
    ~ScopedSelection() {
        if (previous_ != nullptr)
            SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A 32-bit top-down DIB section selected into a memory context of its own: the layout of every
// picture and back buffer here, rows of 0x00RRGGBB words that BitBlt copies and code can read.
class DibSurface {
  public:
    DibSurface() = default;
    // An all-black surface of `width` x `height`; empty when GDI refuses it.
    DibSurface(int width, int height);
    DibSurface(DibSurface&& other) noexcept { swap(other); }
    DibSurface& operator=(DibSurface&& other) noexcept {
        DibSurface taken(std::move(other));
        swap(taken);
        return *this;
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    ~DibSurface();

    explicit operator bool() const { return bits_ != nullptr; }
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Row `y`; call GdiFlush first when GDI has drawn on the surface since.
    uint32_t* row(int y) const {
        return bits_ + static_cast<size_t>(y) * static_cast<size_t>(width_);
    }

  private:
    void swap(DibSurface& other) noexcept {
        std::swap(dc_, other.dc_);
        std::swap(bitmap_, other.bitmap_);
        std::swap(previous_, other.previous_);
        std::swap(bits_, other.bits_);
        std::swap(width_, other.width_);
        std::swap(height_, other.height_);
    }

    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace v270::win32
