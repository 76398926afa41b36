#pragma once

#include <oleauto.h>
#include <unknwn.h>
#include <windows.h>

#include <string_view>
#include <utility>

namespace v270::win32 {

// Owns one reference to a COM object and releases it.
template <typename Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.pointer_, nullptr));
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For a function that hands out a new reference; what was held is released first.
    Interface** put() {
        reset();
        return &pointer_;
    }
    void reset(Interface* pointer = nullptr) {
        if (pointer_ != nullptr)
            pointer_->Release();
        pointer_ = pointer;
    }

  private:
    Interface* pointer_ = nullptr;
};

// Owns a BSTR and frees it.
class UniqueBstr {
  public:
    UniqueBstr() = default;
    explicit UniqueBstr(std::u16string_view text)
        : bstr_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<UINT>(text.size()))) {}
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { SysFreeString(bstr_); }

    BSTR get() const { return bstr_; }
    BSTR* put() {
        SysFreeString(std::exchange(bstr_, nullptr));
        return &bstr_;
    }
    std::u16string_view view() const {
        return bstr_ != nullptr ? std::u16string_view(reinterpret_cast<const char16_t*>(bstr_),
                                                      SysStringLen(bstr_))
                                : std::u16string_view{};
    }

  private:
    BSTR bstr_ = nullptr;
};

// A VARIANT that is cleared when it goes.
class ScopedVariant {
  public:
    ScopedVariant() { VariantInit(&variant_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { VariantClear(&variant_); }
    const VARIANT& get() const { return variant_; }

  private:
    VARIANT variant_;
};

// COM for the calling thread for the life of the object: single-threaded apartment, as a window
// thread has it. A thread already in another apartment keeps it.
class ComApartment {
  public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    // COM is usable on this thread: initialised here, or before in any apartment.
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT result() const { return result_; }

  private:
    HRESULT result_;
};

}  // namespace v270::win32
