// Standalone driver for the fuzz targets when no fuzzing engine is at hand:
// runs the target on the files named on the command line, or on a
// deterministic pseudo-random corpus biased towards the bytes parsers care
// about (line breaks, NUL, separators, quotes, 8-bit letters).
//   <target> [--runs=N] [--seed=S] [file...]
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

bool RunFile(const char* name) {
    std::ifstream file(name, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", name);
        return false;
    }
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(data.data(), data.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned long long runs = 200000;
    unsigned long long seed = 20240521;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0)
            runs = std::strtoull(argv[i] + 7, nullptr, 10);
        else if (std::strncmp(argv[i], "--seed=", 7) == 0)
            seed = std::strtoull(argv[i] + 7, nullptr, 10);
        else
            files.push_back(argv[i]);
    }
    if (!files.empty()) {
        for (const char* name : files)
            if (!RunFile(name))
                return 1;
        std::printf("%zu file(s) passed\n", files.size());
        return 0;
    }
    Random random(seed);
    for (unsigned long long i = 0; i < runs; ++i) {
        const std::vector<uint8_t> input = MakeInput(random);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%llu generated inputs passed (seed %llu)\n", runs, seed);
    return 0;
}
