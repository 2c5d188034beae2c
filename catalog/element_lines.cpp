#include "catalog/element_lines.h"

#include <cstring>

namespace {
constexpr int kSignificantColumns = 69;
}

int ElementLineChecksum(const char* line) {
    int sum = 0;
    for (int i = 0; i < kSignificantColumns - 1 && line[i]; ++i) {
        if (line[i] >= '0' && line[i] <= '9') sum += line[i] - '0';
        else if (line[i] == '-') sum += 1;
    }
    return sum % 10;
}

int CheckElementLine(const char* line, int lineNumber) {
    if (!line || line[0] != static_cast<char>('0' + lineNumber)) return kElementLineNumber;
    // Trailing blanks and line ends past the checksum column are not part of the line.
    std::size_t length = std::strlen(line);
    while (length > kSignificantColumns && (line[length - 1] == ' ' || line[length - 1] == '\r' || line[length - 1] == '\n'))
        --length;
    if (length < static_cast<std::size_t>(kSignificantColumns)) return kElementLineLength;
    const char last = line[kSignificantColumns - 1];
    if (last < '0' || last > '9' || last - '0' != ElementLineChecksum(line)) return kElementLineChecksum;
    return kElementLineValid;
}

int CheckElementSet(const char* line1, const char* line2) {
    if (const int s = CheckElementLine(line1, 1); s != kElementLineValid) return s;
    if (const int s = CheckElementLine(line2, 2); s != kElementLineValid) return s;
    if (std::strncmp(line1 + 2, line2 + 2, 5) != 0) return kElementLineCatalog;
    return kElementLineValid;
}

const char* ElementLineStatusText(int status) {
    switch (status) {
    case kElementLineNumber: return "number";
    case kElementLineLength: return "length";
    case kElementLineChecksum: return "checksum";
    case kElementLineCatalog: return "catalogue number";
    default: return "";
    }
}
