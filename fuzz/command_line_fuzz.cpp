// The headless command line: the fuzzer's bytes, cut at NUL bytes, are the arguments after
// --headless, and the program runs them as a script. Screenshots go to the scratch folder
// and waits are kept short, so that a run stays quick and writes nowhere else.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_files.h"

int VelkarionMain(int argc, char** argv);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& scratch = fuzz::Scratch();
    std::vector<std::string> args{"velkarion", "--headless"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (!current.empty()) args.push_back(current);
    if (args.size() > 24) return -1;  // not kept in the corpus
    for (std::size_t i = 2; i + 1 < args.size(); ++i) {
        if (args[i] == "--screenshot") args[i + 1] = (scratch / "shot.png").string();
        if (args[i] == "--wait" && args[i + 1].size() > 3) args[i + 1] = "999";
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    VelkarionMain(static_cast<int>(args.size()), argv.data());
    return 0;
}
