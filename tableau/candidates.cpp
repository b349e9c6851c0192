#include "tableau/candidates.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iostream>

#include "matrix/wide_integers.h"
#include "tableau/shared_zeros.h"

namespace {

// The patterns of the rows [first, last), one after another.
std::vector<unsigned> gathered_patterns(const Bit_Pattern& bits, const unsigned* first,
                                        const unsigned* last) {
    std::vector<unsigned> patterns;
    patterns.reserve(std::size_t(last - first) * bits.words_per_row);
    for (const unsigned* r = first; r != last; ++r) {
        patterns.insert(patterns.end(), bits.pattern(*r), bits.pattern(*r) + bits.words_per_row);
    }
    return patterns;
}

// The inner rows of a pair class: their slots and their patterns one after another, so that the
// loop over the pairs of an outer row reads them in order.
struct Inner_Rows {
    const unsigned* rows;
    const unsigned* patterns;
    std::size_t count;
};

// Scratch lists of rows_sharing_zeros, one set per thread.
struct Pair_Scratch {
    std::vector<unsigned> positions;
    std::vector<unsigned> zeros;
};

// Where the accepted pairs of a generation go, by their number of common zero columns k.
// Appended to the lists the round fills:
struct Append_To_Lists {
    Generation_Round& round;
    void add(unsigned k, combination pair) { round.add(k, pair); }
};
// Gathered in lists of a thread's own, to be copied into the round's lists after the span:
struct Gather_In {
    Candidate_Lists& own;
    void add(unsigned k, combination pair) { own[k].push_back(pair); }
};

// Gives each pair (a, b), b from the inner rows, to the sink under its number of common zero
// columns, or refuses it when the two rows share fewer zero columns than a row of the next step
// must have.
template <typename T, typename Sink>
void accept_pairs(const Mode_Tableau<T>& t, unsigned a, const Inner_Rows& inner,
                  Pair_Scratch& scratch, Sink& sink, std::int64_t& tests_saved) {
    if (inner.count == 0) return;
    scratch.positions.resize(inner.count);
    scratch.zeros.resize(inner.count);
    const unsigned wanted = static_cast<unsigned>(std::max(t.req_zeros, 0));
    const std::size_t found = rows_sharing_zeros(t.bit_patterns.pattern(a), inner.patterns,
                                                 inner.count, t.bit_patterns.words_per_row, wanted,
                                                 scratch.positions.data(), scratch.zeros.data());
    for (std::size_t i = 0; i < found; ++i) {
        sink.add(scratch.zeros[i], combination{a, inner.rows[scratch.positions[i]]});
    }
    tests_saved += static_cast<std::int64_t>(inner.count - found);
}

// The inner rows from position `from` on.
Inner_Rows rows_from(const Inner_Rows& inner, std::size_t from, unsigned words) {
    return Inner_Rows{inner.rows + from, inner.patterns + from * words, inner.count - from};
}

// First coefficient of slot r.
template <typename T>
const T* row_of(const Mode_Tableau<T>& t, unsigned r) {
    return t.coefficients.data() + std::size_t(r) * t.stride;
}

template <typename T>
bool nonzero_in_either(const T* a, const T* b, unsigned column) {
    return a[column] != 0 || b[column] != 0;
}

}  // namespace

template <typename T>
void classify_rows(const Mode_Tableau<T>& t, const Pattern_Table& table, unsigned column,
                   Row_Classes& classes) {
    for (const auto& [key, bucket] : table) {
        const std::vector<unsigned>& list = *bucket.members;
        for (unsigned p = 0; p < bucket.zero_begin; ++p) {
            const unsigned r = list[p];
            if (t.reversible_rows[r]) {
                classes.rev.push_back(r);
            } else if (row_of(t, r)[column] > 0) {
                classes.irrev_pos.push_back(r);
            } else {
                classes.irrev_neg.push_back(r);
            }
        }
    }
}

namespace {

// Pairs of the outer rows [first, end) of `rows` with the inner rows after them in `rows`
// (whose patterns are `inner`).
template <typename T, typename Sink>
void pairs_after(const Mode_Tableau<T>& t, const unsigned* rows, std::size_t first, std::size_t end,
                 const Inner_Rows& inner, Sink& sink, std::int64_t& tests_saved) {
    Pair_Scratch scratch;
    const unsigned words = t.bit_patterns.words_per_row;
    for (std::size_t i = first; i < end; ++i) {
        accept_pairs(t, rows[i], rows_from(inner, i + 1, words), scratch, sink, tests_saved);
    }
}

// Pairs of the outer rows [first, last) with every inner row.
template <typename T, typename Sink>
void pairs_with(const Mode_Tableau<T>& t, const unsigned* first, const unsigned* last,
                const Inner_Rows& inner, Sink& sink, std::int64_t& tests_saved) {
    Pair_Scratch scratch;
    for (const unsigned* i = first; i != last; ++i) {
        accept_pairs(t, *i, inner, scratch, sink, tests_saved);
    }
}

}  // namespace

namespace {

// Smallest number of pairs of one class worth sharing out over the threads.
constexpr std::int64_t parallel_pairs = 20000;

// Pairs of a class that the threads share out at a time. The pairs that the threads accept
// wait in lists of their own until the span is over: at most a span's worth.
constexpr std::int64_t span_pairs = std::int64_t(1) << 21;

// Pairs that a gathering list has room for from the start.
constexpr std::size_t gathered_at_first = 1024;

// Bounds of the threads' contiguous shares of the outer positions [begin, end), of about equal
// work, with `work(i)` pairs at position i and `total` pairs in all.
template <typename Work>
std::vector<std::size_t> shares_of(std::size_t begin, std::size_t end, std::int64_t total,
                                   Work& work, unsigned threads) {
    std::vector<std::size_t> bounds(threads + 1, end);
    bounds[0] = begin;
    std::int64_t done = 0;
    unsigned share = 1;
    for (std::size_t i = begin; i < end && share < threads; ++i) {
        done += work(i);
        while (share < threads && done * threads >= total * share) bounds[share++] = i + 1;
    }
    return bounds;
}

// Per thread, the lists it gathers its pairs in, one per number of common zero columns.
//
// They are allocated by the calling thread, so that they grow where the allocator keeps the
// lists of the round (glibc grows a block in the arena it came from): the other threads' arenas
// would keep what they took beside the lists.
std::vector<Candidate_Lists> gathering_lists(unsigned threads, const Candidate_Lists& lists) {
    std::vector<Candidate_Lists> gathered(threads);
    for (Candidate_Lists& own : gathered) {
        own.resize(lists.size());
        for (Candidate_List& list : own) {
            list.use(lists.front().code());
            list.reserve(gathered_at_first);
        }
    }
    return gathered;
}

// Moves the pairs gathered by the threads into the lists the round fills, each list growing by
// the pairs of all threads in the threads' order, the threads copying their own pairs; empties
// the gathering lists and keeps the round within its budget.
//
// The class has `rest` times the span's work still to come, which lets a list that must grow
// grow at once to what it is expected to reach (Generation_Round::make_room). Growing by doubling
// alone, the calling thread copied each large list several times while the others waited.
void move_gathered_pairs(std::vector<Candidate_Lists>& gathered, Generation_Round& round,
                         Worker_Pool& pool, double rest) {
    const unsigned threads = pool.size();
    const std::size_t count = round.lists.size();
    std::vector<std::vector<std::size_t> > places(
        threads, std::vector<std::size_t>(count, Generation_Round::not_filled));
    for (unsigned k = 0; k < count; ++k) {
        std::size_t pairs = 0;
        for (const Candidate_Lists& own : gathered) pairs += own[k].size();
        if (pairs == 0) continue;
        std::size_t place = round.make_room(k, pairs, rest);
        if (place == Generation_Round::not_filled) continue;
        for (unsigned thread = 0; thread < threads; ++thread) {
            places[thread][k] = place;
            place += gathered[thread][k].size();
        }
    }
    pool.run([&](unsigned thread) {
        for (unsigned k = 0; k < count; ++k) {
            Candidate_List& own = gathered[thread][k];
            if (places[thread][k] != Generation_Round::not_filled) {
                round.lists[k].copy_in(places[thread][k], own);
            }
            own.truncate(0);
        }
    });
    round.keep_within_budget();
}

// Generates the pairs of one class, `pairs(begin, end, sink, saved)` giving those of the outer
// positions [begin, end) to the sink, with `work(i)` pairs at outer position i. With several
// threads the outer positions are taken in spans of about span_pairs pairs, and each thread
// takes a contiguous share of a span of about equal work and gathers its pairs in lists of its
// own; after the span every list grows by the pairs of all threads, in the threads' order. The
// lists end exactly as with one thread.
template <typename Pairs, typename Work>
void generate_class(std::size_t outer, std::int64_t total_pairs, Work&& work, Pairs&& pairs,
                    Generation_Round& round, std::int64_t& tests_saved, Worker_Pool& pool) {
    const unsigned threads = pool.size();
    if (threads == 1 || total_pairs < parallel_pairs) {
        Append_To_Lists sink{round};
        pairs(0, outer, sink, tests_saved);
        return;
    }
    std::vector<Candidate_Lists> gathered = gathering_lists(threads, round.lists);
    std::vector<std::int64_t> saved(threads, 0);
    std::int64_t done = 0;  // pairs of the spans so far
    for (std::size_t begin = 0, end = 0; begin < outer; begin = end) {
        std::int64_t span = 0;
        while (end < outer && span < span_pairs) span += work(end++);
        const std::vector<std::size_t> bounds = shares_of(begin, end, span, work, threads);
        pool.run([&](unsigned thread) {
            Gather_In sink{gathered[thread]};
            pairs(bounds[thread], bounds[thread + 1], sink, saved[thread]);
        });
        done += span;
        const double rest =
            span > 0 ? static_cast<double>(std::max<std::int64_t>(total_pairs - done, 0)) /
                           static_cast<double>(span)
                     : 0.0;
        move_gathered_pairs(gathered, round, pool, rest);
    }
    for (unsigned thread = 0; thread < threads; ++thread) tests_saved += saved[thread];
}

// Pairs of rows of `first` (outer) with rows of `second` (inner); with `within` the inner rows
// are those after the outer one in the same list.
template <typename T>
void generate_pairs(const Mode_Tableau<T>& t, const std::vector<unsigned>& first,
                    const std::vector<unsigned>& second, bool within, Generation_Round& round,
                    std::int64_t& tests_saved, Worker_Pool& pool) {
    const std::size_t outer = within ? (first.empty() ? 0 : first.size() - 1) : first.size();
    const std::int64_t inner = static_cast<std::int64_t>(second.size());
    const auto work = [&](std::size_t i) {
        return within ? inner - static_cast<std::int64_t>(i) - 1 : inner;
    };
    std::int64_t total = 0;
    if (within) {
        total = inner * (inner - 1) / 2;
    } else {
        total = static_cast<std::int64_t>(first.size()) * inner;
    }
    const std::vector<unsigned> patterns =
        gathered_patterns(t.bit_patterns, second.data(), second.data() + second.size());
    const Inner_Rows inner_rows{second.data(), patterns.data(), second.size()};
    const auto pairs = [&](std::size_t begin, std::size_t end, auto& into, std::int64_t& saved) {
        if (within) {
            pairs_after(t, first.data(), begin, end, inner_rows, into, saved);
        } else {
            pairs_with(t, first.data() + begin, first.data() + end, inner_rows, into, saved);
        }
    };
    generate_class(outer, total, work, pairs, round, tests_saved, pool);
}

}  // namespace

template <typename T>
void generate_candidates(const Mode_Tableau<T>& t, const Row_Classes& classes,
                         Candidate_Lists& lists, std::int64_t& tests_saved,
                         std::int64_t& possible) {
    Worker_Pool one_thread(1);
    Generation_Round round(lists, 0, static_cast<unsigned>(lists.size()),
                           Generation_Round::unlimited, true);
    generate_candidates(t, classes, round, tests_saved, possible, one_thread);
}

template <typename T>
void generate_candidates(const Mode_Tableau<T>& t, const Row_Classes& classes,
                         Generation_Round& round, std::int64_t& tests_saved, std::int64_t& possible,
                         Worker_Pool& pool) {
    const std::int64_t r = static_cast<std::int64_t>(classes.rev.size());
    const std::int64_t p = static_cast<std::int64_t>(classes.irrev_pos.size());
    const std::int64_t n = static_cast<std::int64_t>(classes.irrev_neg.size());
    // Later rounds count nothing again.
    std::int64_t not_counted = 0;
    std::int64_t& refused = round.first ? tests_saved : not_counted;
    const auto begin_class = [&](const char* heading, std::int64_t pairs) {
        if (!round.first) return;
        std::cout << heading << '\n';
        possible += pairs;
    };
    if (r > 1) {
        begin_class("REV/REV", r * (r - 1));
        generate_pairs(t, classes.rev, classes.rev, true, round, refused, pool);
    }
    if (r > 0 && p > 0) {
        begin_class("IRREV_POS/REV", r * p);
        generate_pairs(t, classes.irrev_pos, classes.rev, false, round, refused, pool);
    }
    if (r > 0 && n > 0) {
        begin_class("IRREV_NEG/REV", r * n);
        generate_pairs(t, classes.irrev_neg, classes.rev, false, round, refused, pool);
    }
    if (p > 0 && n > 0) {
        begin_class("IRREV_POS/IRREV_NEG", p * n);
        generate_pairs(t, classes.irrev_pos, classes.irrev_neg, false, round, refused, pool);
    }
}

Candidate_Packing::Candidate_Packing(const Bit_Pattern& bits, unsigned reactions,
                                     std::size_t slots) {
    if (bits.words_per_row > keyed_head_words || reactions == 0 || reactions > 64) return;
    spare_ = 64 - reactions;
    row_bits_ = static_cast<unsigned>(std::bit_width(slots > 0 ? slots - 1 : 0));
    fits_ = 2 * row_bits_ <= 64 && 2 * row_bits_ <= spare_ + 32;
}

template <typename T>
bool candidate_summary(Mode_Tableau<T>& t, unsigned r1, unsigned r2, unsigned column,
                       Zero_Pattern& summary) {
    return candidate_span(t, r1, r2, column, summary, t.scratch_pattern.get());
}

template <typename T>
bool candidate_span(const Mode_Tableau<T>& t, unsigned r1, unsigned r2, unsigned column,
                    Zero_Pattern& summary, unsigned* union_pattern) {
    t.bit_patterns.unite(r1, r2, union_pattern);
    const Zero_Pattern& z1 = t.zero_pattern[r1];
    const Zero_Pattern& z2 = t.zero_pattern[r2];
    int first = std::min(z1.first_nonzero, z2.first_nonzero);
    int last = std::max(z1.last_nonzero, z2.last_nonzero);
    const T* a = row_of(t, r1);
    const T* b = row_of(t, r2);
    const int c = static_cast<int>(column);
    const int reactions = static_cast<int>(t.reactions);
    // The combination is zero in the column, so the column leaves the span.
    if (first == c) {
        first = c + 1;
        while (first < reactions && !nonzero_in_either(a, b, first)) ++first;
        if (first == reactions) return false;
    }
    if (last == c) {
        last = c - 1;
        while (last >= 0 && !nonzero_in_either(a, b, last)) --last;
        if (last < 0) return false;
    }
    summary.first_nonzero = first;
    summary.last_nonzero = last;
    return true;
}

namespace {

// Clears the column's bit in a union pattern.
void leave_out_column(unsigned* union_pattern, unsigned column) {
    union_pattern[column / 32] &= ~(1u << (31 - column % 32));
}

}  // namespace

template <typename T>
unsigned conical_blocker(const Mode_Tableau<T>& t, const Pattern_Tree& tree, unsigned column,
                         unsigned* union_pattern, Recent_Blockers& recent) {
    leave_out_column(union_pattern, column);
    const unsigned words = t.bit_patterns.words_per_row;
    // A live slot whose pattern lies inside is a row of the tree that blocks the candidate.
    const unsigned* known = recent.find([&](unsigned row) {
        return t.row_status[row] != -2 &&
               support_inside(t.bit_patterns.pattern(row), union_pattern, words);
    });
    if (known != nullptr) return *known;
    const unsigned row = tree.find_inside(union_pattern);
    if (row != no_row) recent.remember(row);
    return row;
}

unsigned blocker_in_tree(const Pattern_Tree& tree, unsigned words, unsigned column,
                         unsigned* union_pattern, Recent<const unsigned*>& recent) {
    leave_out_column(union_pattern, column);
    const unsigned* const* known = recent.find(
        [&](const unsigned* entry) { return support_inside(entry + 1, union_pattern, words); });
    if (known != nullptr) return (*known)[0];
    const unsigned* entry = tree.find_entry_inside(union_pattern);
    if (entry == nullptr) return no_row;
    recent.remember(entry);
    return entry[0];
}

namespace {

// Deletes the rows of the zero part of `bucket` whose support contains `inner`, in the order
// condition seven meets them.
template <typename T>
void delete_superset_rows_of_bucket(Mode_Tableau<T>& t, const unsigned* inner,
                                    map_value<unsigned>& bucket, Pattern_Table& table,
                                    std::vector<unsigned>& free_rows, unsigned& deleted) {
    const unsigned words = t.bit_patterns.words_per_row;
    const std::vector<unsigned>& list = *bucket.members;
    unsigned p = bucket.zero_begin;
    while (p < bucket.zero_end) {
        const unsigned u = list[p];
        if (!support_inside(inner, table.member_pattern(bucket, p), words)) {
            ++p;
            continue;
        }
        t.row_status[u] = -2;
        free_rows.push_back(u);
        table.erase_zero_member(bucket, p);
        ++deleted;
    }
}

}  // namespace

template <typename T>
void delete_superset_rows(Mode_Tableau<T>& t, unsigned n, Pattern_Table& table,
                          std::vector<unsigned>& free_rows, unsigned& deleted) {
    const unsigned f = static_cast<unsigned>(t.zero_pattern[n].first_nonzero);
    const unsigned l = static_cast<unsigned>(t.zero_pattern[n].last_nonzero);
    const unsigned* inner = t.bit_patterns.pattern(n);
    for (unsigned d = 0; d <= f; ++d) {
        // Rows whose support begins at or before f and ends at or after l.
        const std::uint64_t upper = (std::uint64_t(d) << 16) + t.reactions;
        for (auto it = table.lower_bound((d << 16) | l); it != table.end() && it->first <= upper;
             ++it) {
            delete_superset_rows_of_bucket(t, inner, it->second, table, free_rows, deleted);
        }
    }
}

template <typename T>
void delete_superset_rows_in(Mode_Tableau<T>& t, unsigned n, Pattern_Table& table,
                             const std::vector<unsigned>& keys, std::vector<unsigned>& free_rows,
                             unsigned& deleted) {
    const unsigned* inner = t.bit_patterns.pattern(n);
    for (const unsigned key : keys) {
        const auto it = table.lower_bound(key);
        if (it == table.end() || it->first != key) continue;
        delete_superset_rows_of_bucket(t, inner, it->second, table, free_rows, deleted);
    }
}

// Every coefficient type of the tableau has its own copy of the candidate functions.
#define INSTANTIATE_CANDIDATE_FUNCTIONS(T)                                                      \
    template void classify_rows(const Mode_Tableau<T>&, const Pattern_Table&, unsigned,         \
                                Row_Classes&);                                                  \
    template void generate_candidates(const Mode_Tableau<T>&, const Row_Classes&,               \
                                      Candidate_Lists&, std::int64_t&, std::int64_t&);          \
    template void generate_candidates(const Mode_Tableau<T>&, const Row_Classes&,               \
                                      Generation_Round&, std::int64_t&, std::int64_t&,          \
                                      Worker_Pool&);                                            \
    template bool candidate_summary(Mode_Tableau<T>&, unsigned, unsigned, unsigned,             \
                                    Zero_Pattern&);                                             \
    template bool candidate_span(const Mode_Tableau<T>&, unsigned, unsigned, unsigned,          \
                                 Zero_Pattern&, unsigned*);                                     \
    template unsigned conical_blocker(const Mode_Tableau<T>&, const Pattern_Tree&, unsigned,    \
                                      unsigned*, Recent_Blockers&);                             \
    template void delete_superset_rows(Mode_Tableau<T>&, unsigned, Pattern_Table&,              \
                                       std::vector<unsigned>&, unsigned&);                      \
    template void delete_superset_rows_in(Mode_Tableau<T>&, unsigned, Pattern_Table&,           \
                                          const std::vector<unsigned>&, std::vector<unsigned>&, \
                                          unsigned&);

INSTANTIATE_CANDIDATE_FUNCTIONS(int)
INSTANTIATE_CANDIDATE_FUNCTIONS(std::int64_t)
INSTANTIATE_CANDIDATE_FUNCTIONS(Int128)
#ifdef KESTRANE_HAVE_GMP
INSTANTIATE_CANDIDATE_FUNCTIONS(mpz_class)
#endif
