#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "tableau/worker_pool.h"

// A candidate pair of rows.
struct combination {
    unsigned row1;
    unsigned row2;
};

// A candidate as sorted and de-duplicated: the first two words of its union pattern are packed
// into `head` (word 0 in the high half, an absent word 1 as 0), so that the sort settles most
// comparisons inside the array it moves, whose entries stay 16 bytes. Words 2 onward are united
// from the rows' patterns when a comparison needs them.
struct Keyed_Candidate {
    std::uint64_t head;
    combination pair;
};

// The candidate pairs of one list, in a block of memory of its own that the list can turn into
// its keyed candidates in place.
//
// The largest list of a column step holds most of the step's pairs, and most of them are
// duplicates that the sort finds. Keyed beside the list, each pair would take 8 bytes in the list
// and the size of its key (12 or 16 bytes) in the copy at once; keyed in place, the block only
// grows to the size of the keys. The block comes from malloc, so that realloc can grow and shrink
// it: glibc remaps the pages of a large block instead of copying them, and gives the pages of a
// shrunk one back.
class Candidate_List {
   public:
    Candidate_List() = default;
    ~Candidate_List();
    Candidate_List(Candidate_List&& other) noexcept;
    Candidate_List& operator=(Candidate_List&& other) noexcept;
    Candidate_List(const Candidate_List&) = delete;
    Candidate_List& operator=(const Candidate_List&) = delete;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const combination& operator[](std::size_t i) const { return pairs()[i]; }
    const combination& back() const { return pairs()[size_ - 1]; }
    const combination* begin() const { return pairs(); }
    const combination* end() const { return pairs() + size_; }
    combination* begin() { return pairs(); }
    combination* end() { return pairs() + size_; }

    void push_back(combination pair) {
        if (size_ == capacity_) grow(size_ + 1);
        pairs()[size_++] = pair;
    }
    // Grows the list by `count` pairs left for the caller to write, growing the block to exactly
    // the pairs; returns the first of them.
    combination* extend(std::size_t count);
    // Keeps the first `count` pairs (count <= size()); the memory stays.
    void truncate(std::size_t count) { size_ = count; }
    // Empties the list and gives its memory back.
    void release();
    // Makes the list its first `count` pairs (count <= size()), the block exactly as large.
    void shrink_to(std::size_t count);

    // Turns every pair p into the keyed candidate key(p), of type Keyed (trivially copyable, at
    // least as large as a pair), in place and returns the keyed candidates, size() of them in
    // the order of the pairs; the threads of `pool` share the work. The list holds no pairs until
    // keep_first_keyed is called.
    template <typename Keyed, typename Key>
    Keyed* key_in_place(Key key, Worker_Pool& pool);
    // Makes the pairs pair_of(k) of the first `count` keyed candidates k the list, in their
    // order, and gives the rest of the memory back.
    template <typename Keyed, typename Pair_Of>
    void keep_first_keyed(std::size_t count, Pair_Of pair_of);

   private:
    combination* pairs() const { return static_cast<combination*>(block_); }
    // Makes room for at least `count` pairs, doubling the block when it grows.
    void grow(std::size_t count);
    // Reallocates the block to exactly `bytes` bytes; throws std::bad_alloc when it cannot.
    void reallocate(std::size_t bytes);
    // Makes room for size() keyed candidates of `bytes` bytes each, keeping the pairs at the front.
    void make_room_for_keys(std::size_t bytes);
    // Keys the pairs [first, last) whose keyed candidates fall on no pair of the range: pair i
    // occupies the 8 bytes from 8 i on, its keyed candidate the sizeof(Keyed) bytes from
    // sizeof(Keyed) i on.
    template <typename Keyed, typename Key>
    void key_range(Key& key, std::size_t first, std::size_t last);

    void* block_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;  // in pairs
};

// One list of candidates per number of common zero columns, 0 to reactions - 1.
using Candidate_Lists = std::vector<Candidate_List>;

// Ranges of fewer pairs are keyed by the calling thread alone.
constexpr std::size_t parallel_keying = std::size_t(1) << 15;

template <typename Keyed, typename Key>
void Candidate_List::key_range(Key& key, std::size_t first, std::size_t last) {
    // Byte copies: the block changes its element type under the loop, and a copy through bytes
    // may alias either.
    unsigned char* bytes = static_cast<unsigned char*>(block_);
    for (std::size_t i = last; i-- > first;) {
        combination pair;
        __builtin_memcpy(&pair, bytes + i * sizeof(combination), sizeof(combination));
        const Keyed keyed = key(pair);
        __builtin_memcpy(bytes + i * sizeof(Keyed), &keyed, sizeof(Keyed));
    }
}

template <typename Keyed, typename Key>
Keyed* Candidate_List::key_in_place(Key key, Worker_Pool& pool) {
    static_assert(sizeof(Keyed) >= sizeof(combination) && std::is_trivially_copyable_v<Keyed>);
    make_room_for_keys(sizeof(Keyed));
    // With keys of twice a pair's size: pairs [n/2, n) key into the bytes from 8 n on, beyond
    // every pair; then pairs [n/4, n/2) into the bytes of [n/2, n), already keyed; and so on.
    // Within one such range no keyed candidate falls on a pair of the range, so the threads can
    // share it. In general a range [first, last) is safe when its first key begins after its last
    // pair ends; `first` is rounded up to make sure.
    std::size_t last = size_;
    while (last >= parallel_keying) {
        const std::size_t first = (sizeof(combination) * last + sizeof(Keyed) - 1) / sizeof(Keyed);
        const unsigned threads = pool.size();
        pool.run([&](unsigned thread) {
            const std::size_t count = last - first;
            key_range<Keyed>(key, first + count * thread / threads,
                             first + count * (thread + 1) / threads);
        });
        last = first;
    }
    // Downward, one at a time, each pair is read before the keyed candidates that fall on it
    // (those of pairs at lower positions) are written.
    key_range<Keyed>(key, 0, last);
    return static_cast<Keyed*>(block_);
}

template <typename Keyed, typename Pair_Of>
void Candidate_List::keep_first_keyed(std::size_t count, Pair_Of pair_of) {
    // Upward, each pair lands on bytes whose keyed candidates (at most its own) are already read.
    unsigned char* bytes = static_cast<unsigned char*>(block_);
    for (std::size_t i = 0; i < count; ++i) {
        Keyed keyed;
        __builtin_memcpy(&keyed, bytes + i * sizeof(Keyed), sizeof(Keyed));
        const combination pair = pair_of(keyed);
        __builtin_memcpy(bytes + i * sizeof(combination), &pair, sizeof(combination));
    }
    shrink_to(count);
}
