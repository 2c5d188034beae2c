#pragma once
// Growable arrays: a data pointer, a capacity and a count. The accessor returns the address
// of element i; i at or past the count raises the count to i + 1; i at or past the
// capacity first grows the capacity c to 2c + 1, repeatedly, until it exceeds i, into a new
// zero-filled block into which the first count elements are copied. Lowering the count
// frees nothing, and a slot between the count and the capacity keeps what it held.
//
// The program's arrays are created by its initialisers ("core/initialisers.h") with
// capacity 10 and freed at exit.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

inline constexpr std::int32_t kInitialArrayCapacity = 10;

template <typename T>
struct GrowableArray {
    T* data = nullptr;
    std::int32_t capacity = 0;
    std::int32_t count = 0;

    explicit GrowableArray(std::int32_t initialCapacity = kInitialArrayCapacity);
    ~GrowableArray();
    GrowableArray(const GrowableArray&) = delete;
    GrowableArray& operator=(const GrowableArray&) = delete;
};

// Fixed-size text elements, copied whole when an array grows.
struct Text64 {
    char text[64];
};
struct Text256 {
    char text[256];
};

// An owned text: a NUL-terminated heap copy (none when empty) and its length.
struct StrBuf {
    char* text = nullptr;
    std::uint32_t length = 0;

    StrBuf() = default;
    explicit StrBuf(const char* s);
    StrBuf(const StrBuf& other);
    StrBuf& operator=(const StrBuf& other);
    ~StrBuf();
    // The text, or "" when there is none.
    const char* c_str() const { return text ? text : ""; }
};

using IntVector = GrowableArray<std::int32_t>;
using StringList = GrowableArray<Text256>;
using NameList = GrowableArray<Text64>;
using StrBufArray = GrowableArray<StrBuf>;

// The address of element `index`, growing the array as needed. Null, with the array
// unchanged, for a negative index or when memory runs out.
template <typename T>
T* GrowableAt(GrowableArray<T>& array, int index);

std::int32_t* IntVectorAt(IntVector& array, int index);
// The 256 bytes of element `index`.
char* StringListAt(StringList& array, int index);
// The 64 bytes of element `index`.
char* NameListAt(NameList& array, int index);

// ---------------------------------------------------------------------------------------

namespace growable_detail {

template <typename T>
T* AllocateBlock(std::int32_t capacity) {
    void* block = std::calloc(static_cast<std::size_t>(capacity), sizeof(T));
    if (!block) return nullptr;
    T* elements = static_cast<T*>(block);
    if constexpr (!std::is_trivially_copyable_v<T>) {
        for (std::int32_t i = 0; i < capacity; ++i) new (elements + i) T();
    }
    return elements;
}

template <typename T>
void FreeBlock(T* elements, std::int32_t capacity) {
    if (!elements) return;
    if constexpr (!std::is_trivially_copyable_v<T>) {
        for (std::int32_t i = 0; i < capacity; ++i) elements[i].~T();
    }
    std::free(elements);
}

}  // namespace growable_detail

template <typename T>
GrowableArray<T>::GrowableArray(std::int32_t initialCapacity) {
    if (initialCapacity > 0) {
        data = growable_detail::AllocateBlock<T>(initialCapacity);
        if (data) capacity = initialCapacity;
    }
}

template <typename T>
GrowableArray<T>::~GrowableArray() {
    growable_detail::FreeBlock(data, capacity);
    data = nullptr;
    capacity = 0;
    count = 0;
}

template <typename T>
T* GrowableAt(GrowableArray<T>& array, int index) {
    if (index < 0) return nullptr;
    if (index >= array.capacity) {
        std::int64_t grown = array.capacity;
        while (grown <= index) grown = 2 * grown + 1;
        if (grown > INT32_MAX / static_cast<std::int64_t>(sizeof(T))) return nullptr;
        const auto newCapacity = static_cast<std::int32_t>(grown);
        T* block = growable_detail::AllocateBlock<T>(newCapacity);
        if (!block) return nullptr;
        const std::int32_t kept = array.count < array.capacity ? array.count : array.capacity;
        if constexpr (std::is_trivially_copyable_v<T>) {
            if (kept > 0) std::memcpy(block, array.data, static_cast<std::size_t>(kept) * sizeof(T));
        } else {
            for (std::int32_t i = 0; i < kept; ++i) block[i] = array.data[i];
        }
        growable_detail::FreeBlock(array.data, array.capacity);
        array.data = block;
        array.capacity = newCapacity;
    }
    if (index >= array.count) array.count = index + 1;
    return array.data + index;
}
