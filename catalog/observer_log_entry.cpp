#include "catalog/observer_log_entry.h"

#include <cstring>

#include "catalog/byte_order.h"

namespace {

// Each field once, for both directions: a number's width is its type's, a text's its
// array's; the texts' last byte stays the terminating NUL in memory.
template <class Entry, class Number, class Text>
void EachField(Entry& e, Number number, Text text) {
    number(0, e.magic);
    number(4, e.listIndex);
    text(8, e.name);
    number(28, e.year);
    number(32, e.month);
    number(36, e.day);
    number(40, e.hour);
    number(44, e.minute);
    number(48, e.rightAscension);
    number(52, e.declination);
    number(56, e.moonPercent);
    number(60, e.sunAltitude);
    number(64, e.visualLimit10);
    number(68, e.typeCode);
    number(72, e.magnitude10);
    number(76, e.constellation);
    number(80, e.transparency);
    number(84, e.seeing);
    text(88, e.scope);
    text(108, e.location);
    text(138, e.filter);
    text(153, e.comments);
    number(444, e.eyepiece);
    number(448, e.ease);
    number(452, e.brightness);
}

}  // namespace

void EncodeObserverLogEntry(const ObserverLogEntry& entry, std::uint8_t* bytes) {
    std::memset(bytes, 0, kObserverLogEntrySize);
    EachField(
        entry, [&](std::size_t at, auto v) { le::Put(bytes, at, v); },
        [&](std::size_t at, const auto& t) { le::PutText(bytes, at, sizeof t - 1, t); });
}

void DecodeObserverLogEntry(const std::uint8_t* bytes, ObserverLogEntry& entry) {
    EachField(
        entry, [&](std::size_t at, auto& v) { v = le::Get<std::remove_reference_t<decltype(v)>>(bytes, at); },
        [&](std::size_t at, auto& t) { le::Text(bytes, at, sizeof t - 1, t); });
}
