// Standalone driver for the fuzz targets when no fuzzing engine is at hand:
// runs the target on the files named on the command line, or on a
// deterministic pseudo-random corpus biased towards the bytes parsers care
// about (line breaks, NUL, separators, quotes, 8-bit letters).
//   <target> [--runs=N | --seconds=S [--long-seconds=L]] [--seed=S] [--crash-dir=D] [file-or-folder...]
// With --seconds it generates inputs for that long (for --long-seconds when
// TAVRIN_LONG_TESTS is set). An input that makes the target fail is written to
// the crash folder before the process ends; keep it in the target's corpus
// folder in the repository, whose files every run replays first.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// xorshift64*: small, fast and the same sequence on every machine.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }

private:
    uint64_t state_;
};

const uint8_t kInteresting[] = {'\r', '\n', '\0', ',', '"', ' ', '|', '\\', ':', '.', 'a', 'Z', '1',
                                0x7F, 0x80, 0xA0, 0xE1, 0xF5, 0xFF, '\t', 0x1A};

std::vector<uint8_t> MakeInput(Random& random) {
    // Mostly short inputs, where the interesting boundaries are dense.
    const size_t roll = random.Below(100);
    const size_t length = roll < 80 ? random.Below(33) : roll < 99 ? random.Below(256) : random.Below(4096);
    std::vector<uint8_t> input(length);
    const size_t style = random.Below(4);
    for (uint8_t& byte : input) {
        const bool pick = style == 0 ? random.Below(2) == 0 : style == 1 ? random.Below(8) != 0 : random.Below(8) == 0;
        byte = pick ? kInteresting[random.Below(sizeof kInteresting)] : static_cast<uint8_t>(random.Next());
    }
    // Now and then a NUL-free input, so text after the first NUL gets exercised
    // only in the other half.
    if (style == 3)
        for (uint8_t& byte : input)
            if (byte == 0)
                byte = 'n';
    return input;
}

// The input being run, written out if the target fails on it.
const uint8_t* currentData = nullptr;
size_t currentSize = 0;
std::string crashDir;

extern "C" void SaveCurrentInput() {
    if (crashDir.empty() || !currentData)
        return;
    // FNV-1a of the input names the file, so one failure is kept once.
    uint64_t hash = 1469598103934665603ull;
    for (size_t i = 0; i < currentSize; ++i)
        hash = (hash ^ currentData[i]) * 1099511628211ull;
    char name[64];
    std::snprintf(name, sizeof name, "/crash-%016llx", static_cast<unsigned long long>(hash));
    const std::string path = crashDir + name;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(currentData, 1, currentSize, f);
        std::fclose(f);
        std::fprintf(stderr, "failing input written to %s\n", path.c_str());
    }
}

extern "C" void OnFatalSignal(int signal) {
    SaveCurrentInput();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Run(const uint8_t* data, size_t size) {
    currentData = data;
    currentSize = size;
    LLVMFuzzerTestOneInput(data, size);
    currentData = nullptr;
}

bool RunFile(const char* name) {
    std::ifstream file(name, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", name);
        return false;
    }
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Run(data.data(), data.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned long long runs = 200000;
    double seconds = 0, longSeconds = 0;
    unsigned long long seed = 20240521;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0)
            runs = std::strtoull(argv[i] + 7, nullptr, 10);
        else if (std::strncmp(argv[i], "--seconds=", 10) == 0)
            seconds = std::strtod(argv[i] + 10, nullptr);
        else if (std::strncmp(argv[i], "--long-seconds=", 15) == 0)
            longSeconds = std::strtod(argv[i] + 15, nullptr);
        else if (std::strncmp(argv[i], "--seed=", 7) == 0)
            seed = std::strtoull(argv[i] + 7, nullptr, 10);
        else if (std::strncmp(argv[i], "--crash-dir=", 12) == 0)
            crashDir = argv[i] + 12;
        else if (std::filesystem::is_directory(argv[i]))
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                files.push_back(entry.path().string());
        else
            files.push_back(argv[i]);
    }
    const char* longTests = std::getenv("TAVRIN_LONG_TESTS");
    if (longSeconds > 0 && longTests && *longTests && std::strcmp(longTests, "0") != 0)
        seconds = longSeconds;
    if (!crashDir.empty()) {
        std::filesystem::create_directories(crashDir);
        std::signal(SIGABRT, OnFatalSignal);
        std::signal(SIGSEGV, OnFatalSignal);
        std::signal(SIGFPE, OnFatalSignal);
    }

    for (const std::string& name : files)
        if (!RunFile(name.c_str()))
            return 1;
    if (!files.empty())
        std::printf("%zu file(s) passed\n", files.size());
    if (!files.empty() && seconds <= 0 && runs == 0)
        return 0;

    Random random(seed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    unsigned long long done = 0;
    for (;; ++done) {
        if (seconds > 0 ? (done % 1024 == 0 && std::chrono::steady_clock::now() >= end) : done >= runs)
            break;
        const std::vector<uint8_t> input = MakeInput(random);
        Run(input.data(), input.size());
    }
    std::printf("%llu generated inputs passed (seed %llu)\n", done, seed);
    return 0;
}
