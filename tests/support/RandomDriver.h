// The bounded random drivers' shared half: a seeded mutator of text inputs and the number of
// rounds a driver runs (a few seconds in the plain suite, more under the sanitizers, any number
// by hand through ZUN_RANDOM_ROUNDS). A failing round prints its seed; the seed then goes into
// the driver's table of fixed cases so that it is run on every build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// splitmix64: small, fast and the same on every machine, so a seed names one input for good.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1; 0 when n is 0.
    std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(Next() % n); }
    bool OneIn(std::size_t n) { return Below(n) == 0; }

private:
    std::uint64_t state_;
};

// Edits a text the way hostile and damaged input differs from good input: bytes flipped, put in
// or taken out (NUL, CR, TAB, quotes and backslashes among them), runs of it cut, doubled or
// repeated many times, lines swapped or repeated, words of the format (the tokens the caller
// gives) put in anywhere, and the text cut short.
class Mutator {
public:
    explicit Mutator(std::uint64_t seed, std::vector<std::string> tokens = {})
        : random_(seed), tokens_(std::move(tokens)) {}

    Random& Rng() { return random_; }

    // One to `maxEdits` edits of the text.
    std::string Mutate(std::string text, std::size_t maxEdits = 4) {
        const std::size_t edits = 1 + random_.Below(maxEdits);
        for (std::size_t e = 0; e < edits; ++e)
            Edit(text);
        return text;
    }

    // A byte that damaged text is made of.
    char AnyByte() {
        static constexpr std::string_view special{"\0\r\n\t \"\\;:,()[]{}`'#=<>\x7f\xff\xc3", 24};
        if (random_.OneIn(2))
            return special[random_.Below(special.size())];
        return static_cast<char>(random_.Below(256));
    }

private:
    void Edit(std::string& text) {
        const std::size_t at = random_.Below(text.size() + 1);
        const std::size_t run = 1 + random_.Below(random_.OneIn(4) ? 4096 : 16);
        switch (random_.Below(10)) {
        case 0: // flip
            if (!text.empty())
                text[random_.Below(text.size())] = AnyByte();
            break;
        case 1: // put in
            text.insert(at, 1, AnyByte());
            break;
        case 2: // cut a run
            text.erase(at, run);
            break;
        case 3: { // double a run
            const std::string piece = text.substr(at, run);
            text.insert(at, piece);
            break;
        }
        case 4: { // repeat a run many times: oversized input
            const std::string piece = text.substr(at, 1 + random_.Below(64));
            std::string many;
            const std::size_t times = 1 + random_.Below(2000);
            for (std::size_t t = 0; t < times; ++t)
                many += piece;
            text.insert(at, many);
            break;
        }
        case 5: // a word of the format
            if (!tokens_.empty())
                text.insert(at, tokens_[random_.Below(tokens_.size())]);
            break;
        case 6: // cut short
            text.resize(at);
            break;
        default: // lines swapped or repeated
            EditLines(text);
            break;
        }
    }

    void EditLines(std::string& text) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            end = end == std::string::npos ? text.size() : end + 1;
            lines.push_back(text.substr(start, end - start));
            start = end;
        }
        if (lines.empty())
            return;
        const std::size_t a = random_.Below(lines.size());
        const std::size_t b = random_.Below(lines.size());
        if (random_.OneIn(2)) {
            std::swap(lines[a], lines[b]);
        } else {
            const std::string line = lines[a];
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(b),
                         1 + random_.Below(random_.OneIn(8) ? 500 : 3), line);
        }
        text.clear();
        for (const std::string& line : lines)
            text += line;
    }

    Random random_;
    std::vector<std::string> tokens_;
};

// How many rounds a driver runs: `plain` in the ordinary suite, four times as many in the
// sanitizer build (which defines ZUN_LONG_RANDOM_RUNS), or ZUN_RANDOM_ROUNDS when it is set.
inline std::size_t RandomRounds(std::size_t plain) {
    if (const char* given = std::getenv("ZUN_RANDOM_ROUNDS")) {
        char* end = nullptr;
        const unsigned long long n = std::strtoull(given, &end, 10);
        if (end != given && *end == '\0')
            return static_cast<std::size_t>(n);
    }
#ifdef ZUN_LONG_RANDOM_RUNS
    return plain * 4;
#else
    return plain;
#endif
}

// The seed of round r of a driver: ZUN_RANDOM_SEED (when set) moves every driver to other seeds,
// so a long run by hand explores inputs the suite does not.
inline std::uint64_t RoundSeed(std::uint64_t driver, std::size_t round) {
    std::uint64_t base = 0;
    if (const char* given = std::getenv("ZUN_RANDOM_SEED"))
        base = std::strtoull(given, nullptr, 10);
    return (base * 0x100000001B3ull) ^ (driver << 32) ^ static_cast<std::uint64_t>(round);
}
