// Runs a fuzz target without libFuzzer: every seed file given (or every file
// of a folder given), then a fixed number of mutations of them, the same in
// every run. Usage: NAME [-runs=N] SEED_FILE_OR_FOLDER...

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

// The input being run, written out when the target aborts.
const Bytes* g_current = nullptr;

extern "C" void saveCurrentInput(int)
{
    if (g_current) {
        if (std::FILE* f = std::fopen("fuzz-crash-input", "wb")) {
            std::fwrite(g_current->data(), 1, g_current->size(), f);
            std::fclose(f);
            std::fputs("the failing input is in fuzz-crash-input\n", stderr);
        }
    }
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

std::uint64_t g_state = 0x9E3779B97F4A7C15ULL;

std::uint64_t nextRandom()
{
    g_state ^= g_state << 13;
    g_state ^= g_state >> 7;
    g_state ^= g_state << 17;
    return g_state;
}

std::size_t below(std::size_t n)
{
    return n == 0 ? 0 : std::size_t(nextRandom() % n);
}

// A few edits of the kinds that matter to a text reader: bytes flipped,
// separators and zero bytes put in, pieces cut out or repeated.
Bytes mutate(Bytes b)
{
    static const std::uint8_t special[] = {'\t', '\r', '\n', '\0', ' ', 0x80, 0xC3, 0xE2, 0xF0, 0xFF};
    const int edits = 1 + int(below(4));
    for (int e = 0; e < edits; ++e) {
        switch (below(5)) {
        case 0:
            if (!b.empty())
                b[below(b.size())] = std::uint8_t(nextRandom());
            break;
        case 1: b.insert(b.begin() + std::ptrdiff_t(below(b.size() + 1)), special[below(sizeof special)]); break;
        case 2:
            if (!b.empty()) {
                const std::size_t at = below(b.size());
                b.erase(b.begin() + std::ptrdiff_t(at), b.begin() + std::ptrdiff_t(at + below(b.size() - at) + 1));
            }
            break;
        case 3:
            if (!b.empty() && b.size() < 65536) {
                const std::size_t at = below(b.size());
                const Bytes piece(b.begin() + std::ptrdiff_t(at),
                                  b.begin() + std::ptrdiff_t(at + below(b.size() - at) + 1));
                b.insert(b.begin() + std::ptrdiff_t(below(b.size() + 1)), piece.begin(), piece.end());
            }
            break;
        default: b.resize(below(b.size() + 1));
        }
    }
    return b;
}

bool readFile(const std::filesystem::path& path, Bytes* out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    long runs = 0;
    std::vector<Bytes> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-runs=", 0) == 0) {
            runs = std::strtol(arg.c_str() + 6, nullptr, 10);
            continue;
        }
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.push_back(arg);
        }
        for (const auto& f : files) {
            Bytes b;
            if (!readFile(f, &b)) {
                std::fprintf(stderr, "cannot read %s\n", f.c_str());
                return 2;
            }
            seeds.push_back(std::move(b));
        }
    }
    seeds.push_back({});
    std::signal(SIGABRT, saveCurrentInput);
    for (const Bytes& s : seeds) {
        g_current = &s;
        LLVMFuzzerTestOneInput(s.data(), s.size());
    }
    for (long r = 0; r < runs; ++r) {
        const Bytes input = mutate(seeds[below(seeds.size())]);
        g_current = &input;
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu seeds and %ld mutations run\n", seeds.size(), runs);
    return 0;
}
