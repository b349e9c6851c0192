#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "tableau/pair_code.h"
#include "tableau/worker_pool.h"

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
// duplicates that the sort finds. The pairs are stored as their Pair_Code gives them, in 4 to 8
// bytes; keyed beside the list, each pair would take its bytes in the list and the size of its
// key (12 or 16 bytes) in the copy at once; keyed in place, the block only grows to the size of
// the keys. The block comes from malloc, so that realloc can grow and shrink it: glibc remaps the
// pages of a large block instead of copying them, and gives the pages of a shrunk one back.
class Candidate_List {
   public:
    Candidate_List() = default;
    ~Candidate_List();
    Candidate_List(Candidate_List&& other) noexcept;
    Candidate_List& operator=(Candidate_List&& other) noexcept;
    Candidate_List(const Candidate_List&) = delete;
    Candidate_List& operator=(const Candidate_List&) = delete;

    // Stores the pairs with `code` from now on; only while the list is empty.
    void use(Pair_Code code);
    const Pair_Code& code() const { return code_; }

    std::size_t size() const { return size_; }
    // Pairs the block has room for.
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    combination operator[](std::size_t i) const { return code_.decode(load(i)); }
    combination back() const { return (*this)[size_ - 1]; }

    void push_back(combination pair) {
        if (size_ == capacity_) grow(size_ + 1);
        // All 8 bytes of the number: those beyond the pair are free, the block has them to spare.
        const std::uint64_t number = code_.encode(pair);
        std::memcpy(bytes() + size_++ * code_.bytes(), &number, sizeof number);
    }
    // Makes room for `count` pairs in all.
    void reserve(std::size_t count) {
        if (count > capacity_) grow(count);
    }
    // Grows the list by `count` pairs left for the caller to set; returns the position of the
    // first of them. A block that must grow doubles, or grows to `expected` pairs where the
    // caller expects the list to reach more: the pairs then move once instead of at every
    // doubling.
    std::size_t extend(std::size_t count, std::size_t expected = 0);
    // Copies the pairs of `from`, stored with the same code, to the positions from `position` on
    // (all below size()). Several threads may copy at once, each to its own positions.
    void copy_in(std::size_t position, const Candidate_List& from);
    // Makes `pair` the pair at position i (i < size()). Several threads may set pairs at once,
    // each its own positions.
    void set(std::size_t i, combination pair) { store(i, code_.encode(pair)); }
    // Keeps the first `count` pairs (count <= size()); the memory stays.
    void truncate(std::size_t count) { size_ = count; }
    // Empties the list and gives its memory back.
    void release();
    // Makes the list its first `count` pairs (count <= size()), the block exactly as large.
    void shrink_to(std::size_t count);
    // The same; the threads of `pool` give the pages of a large part let go back to the system
    // at once, each its share, before the block is reallocated.
    void shrink_to(std::size_t count, Worker_Pool& pool);

    // Calls f(first, last) with the list's pairs as an array [first, last) of
    // Stored_Pair<code().bytes()>, to be reordered in place.
    template <typename F>
    void with_stored_pairs(F&& f);

    // Turns every pair p into the keyed candidate key(p), of type Keyed (trivially copyable, at
    // least as large as a pair), in place and returns the keyed candidates, size() of them in
    // the order of the pairs; the threads of `pool` share the work. The list holds no pairs until
    // pairs are set over the keyed candidates (pair i after keyed candidate i is read, upward) and
    // the list is shrunk to them.
    template <typename Keyed, typename Key>
    Keyed* key_in_place(Key key, Worker_Pool& pool);

   private:
    unsigned char* bytes() const { return static_cast<unsigned char*>(block_); }
    // The stored number of the pair at position i, and storing one there.
    std::uint64_t load(std::size_t i) const;
    void store(std::size_t i, std::uint64_t number);
    // Makes room for at least `count` pairs, doubling the block when it grows.
    void grow(std::size_t count);
    // Reallocates the block to `bytes` bytes and 8 to spare; throws std::bad_alloc when it cannot.
    void reallocate(std::size_t bytes);
    // Makes room for size() keyed candidates of `bytes` bytes each, keeping the pairs at the front.
    void make_room_for_keys(std::size_t bytes);
    // Gives `advice` (madvise) for the whole pages of the block's bytes [from, to), the threads of
    // `pool` each for its share, when there are at least shared_release_pages of them and more
    // than one thread.
    void advise_in_threads(std::size_t from, std::size_t to, int advice, Worker_Pool& pool);
    // Keys the pairs [first, last) whose keyed candidates fall on no pair of the range: pair i
    // occupies the W = code().bytes() bytes from W i on, its keyed candidate the sizeof(Keyed)
    // bytes from sizeof(Keyed) i on.
    template <typename Keyed, unsigned W, typename Key>
    void key_range(Key& key, std::size_t first, std::size_t last);
    // key_in_place for pairs of W bytes.
    template <typename Keyed, unsigned W, typename Key>
    void key_all(Key& key, Worker_Pool& pool);

    void* block_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;  // in pairs
    Pair_Code code_;
};

// One list of candidates per number of common zero columns, 0 to reactions - 1.
using Candidate_Lists = std::vector<Candidate_List>;

inline std::uint64_t Candidate_List::load(std::size_t i) const {
    return with_pair_width(code_.bytes(), [&](auto width) {
        constexpr unsigned W = decltype(width)::value;
        return pair_code_detail::load<W>(bytes() + i * W);
    });
}

inline void Candidate_List::store(std::size_t i, std::uint64_t number) {
    with_pair_width(code_.bytes(), [&](auto width) {
        constexpr unsigned W = decltype(width)::value;
        pair_code_detail::store<W>(bytes() + i * W, number);
    });
}

template <typename F>
void Candidate_List::with_stored_pairs(F&& f) {
    with_pair_width(code_.bytes(), [&](auto width) {
        Stored_Pair<decltype(width)::value>* first =
            static_cast<Stored_Pair<decltype(width)::value>*>(block_);
        f(first, first + size_);
    });
}

// Fewer pages let go by shrinking a list, or taken by its keys, are given back or taken by the
// calling thread alone.
constexpr std::uintptr_t shared_release_pages = 1024;

// Ranges of fewer pairs are keyed by the calling thread alone.
constexpr std::size_t parallel_keying = std::size_t(1) << 15;

template <typename Keyed, unsigned W, typename Key>
void Candidate_List::key_range(Key& key, std::size_t first, std::size_t last) {
    // Byte copies: the block changes its element type under the loop, and a copy through bytes
    // may alias either.
    for (std::size_t i = last; i-- > first;) {
        const combination pair = code_.decode(pair_code_detail::load<W>(bytes() + i * W));
        const Keyed keyed = key(pair);
        std::memcpy(bytes() + i * sizeof(Keyed), &keyed, sizeof(Keyed));
    }
}

template <typename Keyed, unsigned W, typename Key>
void Candidate_List::key_all(Key& key, Worker_Pool& pool) {
    // With keys of twice a pair's size: pairs [n/2, n) key into the bytes beyond every pair; then
    // pairs [n/4, n/2) into the bytes of pairs [n/2, n), already keyed; and so on. Within one
    // such range no keyed candidate falls on a pair of the range, so the threads can share it.
    // In general a range [first, last) is safe when its first key begins after its last pair
    // ends; `first` is rounded up to make sure.
    std::size_t last = size_;
    while (last >= parallel_keying) {
        const std::size_t first = (W * last + sizeof(Keyed) - 1) / sizeof(Keyed);
        const unsigned threads = pool.size();
        pool.run([&](unsigned thread) {
            const std::size_t count = last - first;
            key_range<Keyed, W>(key, first + count * thread / threads,
                                first + count * (thread + 1) / threads);
        });
        last = first;
    }
    // Downward, one at a time, each pair is read before the keyed candidates that fall on it
    // (those of pairs at lower positions) are written.
    key_range<Keyed, W>(key, 0, last);
}

template <typename Keyed, typename Key>
Keyed* Candidate_List::key_in_place(Key key, Worker_Pool& pool) {
    static_assert(sizeof(Keyed) >= sizeof(std::uint64_t) && std::is_trivially_copyable_v<Keyed>);
    const std::size_t pair_bytes = size_ * code_.bytes();
    make_room_for_keys(sizeof(Keyed));
    // The threads take the new pages of the keys at once, each its share, instead of faulting on
    // them one at a time while they key.
#ifdef MADV_POPULATE_WRITE
    advise_in_threads(pair_bytes, size_ * sizeof(Keyed), MADV_POPULATE_WRITE, pool);
#endif
    with_pair_width(code_.bytes(),
                    [&](auto width) { key_all<Keyed, decltype(width)::value>(key, pool); });
    return static_cast<Keyed*>(block_);
}
