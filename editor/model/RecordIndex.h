// An index from a name to a record's position in its list, kept as a flat table of positions: the
// rebuild adds every instance and port to one, and a node per entry would cost an allocation for
// each and a cache miss for each lookup.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class RecordIndex {
public:
    // The hash of a name, or of a name of two parts (an instance and a port). Names are short,
    // so a byte-wise hash costs less than a general one.
    static std::size_t Hash(std::string_view name) { return Mix(Fnv(0xcbf29ce484222325ull, name)); }
    static std::size_t Hash(std::string_view first, std::string_view second) {
        // The separator keeps ("ab", "c") apart from ("a", "bc").
        return Mix(Fnv(Fnv(0xcbf29ce484222325ull, first) ^ 0x1f, second));
    }

    // Forgets every entry; the table keeps its size unless it is far larger than it was needed.
    void Clear() {
        if (slots_.size() > 64 && used_ * 8 < slots_.size())
            slots_.assign(slots_.size() / 2, Slot{});
        else
            std::fill(slots_.begin(), slots_.end(), Slot{});
        used_ = 0;
    }
    std::size_t Size() const { return used_; }
    // Room for n entries without growing.
    void Reserve(std::size_t n) {
        std::size_t size = slots_.empty() ? 16 : slots_.size();
        while (size < n * 2)
            size *= 2;
        if (size > slots_.size())
            Resize(size);
    }

    // Adds the record at position under hash, unless a record with the same key is there already:
    // the first one keeps the name (and the answer is false). same(position) tells whether a
    // stored record has the key.
    template <class Same> bool Add(std::size_t hash, int position, Same same) {
        if ((used_ + 1) * 2 > slots_.size())
            Grow();
        const std::uint32_t h = Short(hash);
        for (std::size_t i = h & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            Slot& s = slots_[i];
            if (s.Position < 0) {
                s = Slot{h, position};
                ++used_;
                return true;
            }
            if (s.Hash == h && same(s.Position))
                return false;
        }
    }

    // The position stored under the key, or -1.
    template <class Same> int Find(std::size_t hash, Same same) const {
        if (used_ == 0)
            return -1;
        const std::uint32_t h = Short(hash);
        for (std::size_t i = h & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot& s = slots_[i];
            if (s.Position < 0)
                return -1;
            if (s.Hash == h && same(s.Position))
                return s.Position;
        }
    }

private:
    struct Slot {
        std::uint32_t Hash = 0;
        int Position = -1;
    };

    static std::uint64_t Fnv(std::uint64_t h, std::string_view text) {
        for (unsigned char c : text)
            h = (h ^ c) * 0x100000001b3ull;
        return h;
    }
    // The low bits pick the slot: every byte of the name must reach them.
    static std::size_t Mix(std::uint64_t h) {
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        return static_cast<std::size_t>(h);
    }

    static std::uint32_t Short(std::size_t hash) {
        return static_cast<std::uint32_t>(hash ^ (static_cast<std::uint64_t>(hash) >> 32));
    }

    void Grow() { Resize(slots_.empty() ? 16 : slots_.size() * 2); }

    void Resize(std::size_t size) {
        std::vector<Slot> old(size);
        old.swap(slots_);
        for (const Slot& s : old) {
            if (s.Position < 0)
                continue;
            std::size_t i = s.Hash & (slots_.size() - 1);
            while (slots_[i].Position >= 0)
                i = (i + 1) & (slots_.size() - 1);
            slots_[i] = s;
        }
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};
