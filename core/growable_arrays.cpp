#include "core/growable_arrays.h"

StrBuf::StrBuf(const char* s) {
    if (!s || !*s) return;
    const std::size_t n = std::strlen(s);
    text = static_cast<char*>(std::malloc(n + 1));
    if (!text) return;
    std::memcpy(text, s, n + 1);
    length = static_cast<std::uint32_t>(n);
}

StrBuf::StrBuf(const StrBuf& other) : StrBuf(other.text) {}

StrBuf& StrBuf::operator=(const StrBuf& other) {
    if (this == &other) return *this;
    StrBuf copy(other);
    std::free(text);
    text = copy.text;
    length = copy.length;
    copy.text = nullptr;
    copy.length = 0;
    return *this;
}

StrBuf::~StrBuf() {
    std::free(text);
    text = nullptr;
    length = 0;
}

std::int32_t* IntVectorAt(IntVector& array, int index) { return GrowableAt(array, index); }

char* StringListAt(StringList& array, int index) {
    Text256* element = GrowableAt(array, index);
    return element ? element->text : nullptr;
}

char* NameListAt(NameList& array, int index) {
    Text64* element = GrowableAt(array, index);
    return element ? element->text : nullptr;
}
