// Observer log entries: any bytes in an entry file are either refused (with a message) or
// read with every text field ending inside its width, and the text export of what was read
// writes whole lines of 20 fields.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "catalog/observer_log_entry.h"
#include "fuzz_files.h"
#include "objects/observer_log.h"

namespace {

template <std::size_t N>
void CheckText(const char (&text)[N]) {
    if (std::memchr(text, '\0', N) == nullptr) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto folder = fuzz::Scratch() / "home" / "userlogs";
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    fuzz::WriteBytes(folder / "entry.log", data, size);
    ObserverLogEntry entry;
    if (!ReadObserverLogFile("entry.log", entry)) return 0;
    if (size != static_cast<std::size_t>(kObserverLogEntrySize) || entry.magic != kObserverLogMagic) std::abort();
    CheckText(entry.name);
    CheckText(entry.scope);
    CheckText(entry.location);
    CheckText(entry.filter);
    CheckText(entry.comments);
    if (ExportObserverLogs(false) != 1) std::abort();
    std::ifstream in(folder / "logs_1.txt", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string header = ObserverLogExportHeader(1);
    if (text.compare(0, header.size(), header) != 0 || text.size() < header.size() + 2) std::abort();
    const std::string line = text.substr(header.size());
    if (line.back() != '\n' || line[line.size() - 2] != ';') std::abort();
    return 0;
}
