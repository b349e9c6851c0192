#include "tableau/kernel_tableau.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "matrix/wide_integers.h"
#include "tableau/candidates.h"
#include "tableau/condition_seven_rows.h"
#include "tableau/kept_in_parts.h"
#include "tableau/packed_pattern_less.h"
#include "tableau/parallel_sort.h"
#include "tableau/pattern_table.h"
#include "tableau/pattern_tree.h"
#include "tableau/tree_replica.h"
#include "tableau/worker_pool.h"

namespace {

// Counters of one elementary-mode run, accumulated over all its column steps.
struct Mode_Counters {
    unsigned accepted = 0;         // new rows
    std::int64_t tests_saved = 0;  // pairs refused by the common-zero count, duplicates dropped
    unsigned deleted = 0;          // rows deleted by condition seven
    unsigned ignored = 0;          // candidates rejected as conically dependent
    std::int64_t possible = 0;     // pairs of rows non-zero in the processed columns
    unsigned step = 0;             // column steps finished
};

// The conical-independence tests of a batch of candidates, list[last - j] for j < count, made
// by several threads at once against the rows as they stood after `seen` decided batches.
struct Batch_Tests {
    std::size_t last = 0;
    std::size_t count = 0;
    std::uint64_t seen = 0;
    std::vector<Zero_Pattern> spans;    // per candidate: its span without the column
    std::vector<unsigned> unions;       // per candidate: its union pattern
    std::vector<unsigned> blockers;     // per candidate: a row inside its union, or no_row
    std::vector<unsigned char> summed;  // per candidate: 0 when it would combine into zero
    // Per candidate that no row blocked, with condition seven: the keys of the buckets holding
    // rows that its row deletes, found at the test when the row's support is its union.
    std::vector<std::vector<unsigned> > seven_keys;
};

// The batches of a run: one is decided while the next is tested.
struct Batches {
    Batch_Tests tests[2];
    std::uint64_t decided = 0;           // batches decided so far
    std::vector<std::uint64_t> made_in;  // per slot: the decided batch that last made a row there
    // Rows made by decided batches, with the batch's number, that a batch tested may not have
    // seen.
    std::vector<std::pair<unsigned, std::uint64_t> > made;
};

// Working state of one elementary-mode run; released on every way out of the run.
struct Mode_Run {
    Pattern_Table table;
    Pattern_Tree tree;  // the same rows as the table, for the conical-independence tests
    std::vector<unsigned> free_rows;  // a stack: the slot taken next is at the back
    Mode_Counters counters;
    bool use_condition_seven;
    Worker_Pool pool;
    // With several threads: the tree as the batches are tested against it, a batch behind.
    std::unique_ptr<Tree_Replica> replica;
    Batches batches;
    Recent_Blockers recent;  // of the candidates tested one at a time
    // With several threads and condition seven: the rows it may delete in the step, for the
    // tests of the batches.
    Condition_Seven_Rows seven_rows;
};

// What the test of a candidate found for condition seven: the buckets whose rows contain its
// union pattern (the column left out).
struct Known_Supersets {
    const unsigned* union_pattern;
    const std::vector<unsigned>& keys;
};

// Lists of more candidates than this are keyed only after the allocator has given its free
// memory back.
constexpr std::size_t trimmed_list = std::size_t(4) << 20;

// Largest number of reaction columns whose indices fit the 16-bit halves of a pattern key.
constexpr unsigned max_key_columns = 65536;

template <typename T>
void print_progress(const Kernel_Tableau<T>& t, const Mode_Run& run, unsigned column,
                    std::size_t remaining) {
    const Mode_Counters& c = run.counters;
    std::cout << "Processing column " << column << " (" << remaining << " remaining); so far "
              << t.rows << " rows in table, " << t.reversible_rows.size() - run.free_rows.size()
              << " rows in use" << std::endl;
    std::cout << c.accepted << " rows accepted, " << c.tests_saved << " S-tests saved" << std::endl;
    std::cout << c.deleted << " rows deleted by condition seven, " << c.ignored
              << " combinations ignored by concial dependence;\n";
    std::cout << run.table.size() << " buckets\n";
}

void print_summary(const Mode_Counters& c) {
    std::cout << c.accepted << " rows accepted, " << c.tests_saved << " S-tests saved" << std::endl;
    std::cout << c.deleted << " rows deleted by condition seven\n";
    std::cout << c.ignored << " combinations ignored by concial dependence;\n";
    std::cout << "So far " << c.possible << " possible combinations\n";
}

// Packed candidates with the same union pattern, as Packed_Pattern_Less finds them.
auto packed_equal(const Candidate_Packing& packing) {
    return [&packing](const Packed_Candidate& a, const Packed_Candidate& b) {
        return packing.pattern_part(a) == packing.pattern_part(b);
    };
}

// The sort hands its parts of at most this many keyed candidates (a few hundred kilobytes, well
// inside a core's cache) to be finished and cleared of duplicates at once.
constexpr std::ptrdiff_t cached_part = std::ptrdiff_t(1) << 15;

// Keys the list in place with key(pair), sorts the keyed candidates by `less` and keeps the
// first of each run that `equal` finds equal (as `less` does), as pairs again (pair_of); returns
// how many it kept.
template <typename Keyed, typename Key, typename Less, typename Equal, typename Pair_Of>
std::size_t keep_first_of_each_pattern(Candidate_List& list, Key key, Less less, Equal equal,
                                       Pair_Of pair_of, Worker_Pool& pool) {
    const std::size_t count = list.size();
    Keyed* const begin = list.key_in_place<Keyed>(key, pool);
    Kept_In_Parts<Keyed> kept_parts(pool.size());
    const auto sort_part = [&](Keyed* first, Keyed* last, std::ptrdiff_t depth, unsigned thread) {
        parallel_sort_detail::introsort(first, last, depth, less);
        kept_parts.record(thread, first, keep_first_of_runs(first, last, equal));
    };
    parallel_sort_down_to(begin, begin + count, less, pool, cached_part, sort_part);
    // The i-th pair takes fewer bytes than the i-th keyed candidate: writing it overwrites only
    // keyed candidates already read.
    std::size_t kept = 0;
    list.with_stored_pairs([&](auto* pairs, auto*) {
        using Stored = std::remove_pointer_t<decltype(pairs)>;
        const Pair_Code code = list.code();
        kept = kept_parts.join(equal, [&](std::size_t i, const Keyed& keyed) {
            pairs[i] = Stored::of(code.encode(pair_of(keyed)));
        });
    });
    list.shrink_to(kept, pool);
    return kept;
}

// Parts of a list sorted by looked-up keys are keyed once they have at most this many pairs.
constexpr std::ptrdiff_t keyed_part = std::ptrdiff_t(1) << 20;

// Sorts a list of pairs as keep_first_of_each_pattern does with packed candidates, and keeps the
// same pairs, without keying the whole list: while a part of the sort is large, the stored pairs
// themselves are partitioned, each compared through the heads of its rows' patterns; a part of
// at most keyed_part pairs is packed into a buffer of its thread, sorted there with the
// partitions it has left and written back. The comparisons are those of the packed sort, so the
// order is the same, ties included; the list takes no more memory than its pairs.
std::size_t keep_first_of_each_pattern_unkeyed(Candidate_List& list, const Bit_Pattern& bits,
                                               const Candidate_Packing& packing,
                                               Worker_Pool& pool) {
    std::vector<std::uint64_t> heads(bits.patterns.size() / bits.words_per_row);
    for (unsigned r = 0; r < heads.size(); ++r) heads[r] = keyed_candidate({r, r}, bits).head;
    const Pair_Code code = list.code();
    std::vector<std::vector<Packed_Candidate> > buffers(pool.size());
    std::size_t kept = 0;
    list.with_stored_pairs([&](auto* first, auto* last) {
        using Stored = std::remove_pointer_t<decltype(first)>;
        const auto key = [&](const Stored& stored) {
            const combination pair = code.decode(stored.number());
            return packing.pattern_part(heads[pair.row1] | heads[pair.row2]);
        };
        const auto less = [&key](const Stored& a, const Stored& b) { return key(a) < key(b); };
        Packed_Pattern_Less packed_less(packing);
        Kept_In_Parts<Stored> kept_parts(pool.size());
        // Each part keeps the first of each of its runs, written back to its front.
        const auto sort_keyed = [&](Stored* part_first, Stored* part_last, std::ptrdiff_t depth,
                                    unsigned thread) {
            std::vector<Packed_Candidate>& buffer = buffers[thread];
            buffer.resize(static_cast<std::size_t>(part_last - part_first));
            std::transform(part_first, part_last, buffer.begin(), [&](const Stored& stored) {
                return packing.pack(code.decode(stored.number()), bits);
            });
            parallel_sort_detail::introsort(buffer.begin(), buffer.end(), depth, packed_less);
            Packed_Candidate* const buffer_kept = keep_first_of_runs(
                buffer.data(), buffer.data() + buffer.size(), packed_equal(packing));
            Stored* const kept_end = std::transform(
                buffer.data(), buffer_kept, part_first, [&](const Packed_Candidate& c) {
                    return Stored::of(code.encode(packing.unpack(c)));
                });
            kept_parts.record(thread, part_first, kept_end);
        };
        parallel_sort_down_to(first, last, less, pool, keyed_part, sort_keyed);
        kept =
            kept_parts.join([&key](const Stored& a, const Stored& b) { return key(a) == key(b); },
                            [first](std::size_t i, const Stored& stored) { first[i] = stored; });
    });
    list.shrink_to(kept, pool);
    return kept;
}

// Sorts the candidates by union pattern and keeps one candidate of each pattern: pairs with the
// same union support would give the same row. The list is keyed and sorted in its own memory,
// and what the duplicates took goes back at once: of the largest lists most pairs are
// duplicates. Where the rows' numbers fit beside the pattern, a keyed candidate takes 12 bytes
// instead of 16; the order is the same.
template <typename T>
void drop_duplicate_candidates(const Kernel_Tableau<T>& t, Candidate_List& list,
                               Mode_Counters& counters, Worker_Pool& pool) {
    const Bit_Pattern& bits = t.bit_patterns;
    const std::size_t count = list.size();
    // Free memory kept by the allocator would count beside the keyed candidates.
    if (count > trimmed_list) malloc_trim(0);
    std::size_t kept = 0;
    const Candidate_Packing packing(bits, t.reactions, t.row_status.size());
    // 8 bytes for each pair of the budget.
    const bool keys_fit = count * sizeof(Packed_Candidate) <= candidate_budget() * 8;
    if (packing.fits() && !keys_fit) {
        kept = keep_first_of_each_pattern_unkeyed(list, bits, packing, pool);
    } else if (packing.fits()) {
        kept = keep_first_of_each_pattern<Packed_Candidate>(
            list, [&](combination pair) { return packing.pack(pair, bits); },
            Packed_Pattern_Less(packing), packed_equal(packing),
            [&packing](const Packed_Candidate& c) { return packing.unpack(c); }, pool);
    } else {
        const Pattern_Less less(bits);
        kept = keep_first_of_each_pattern<Keyed_Candidate>(
            list, [&bits](combination pair) { return keyed_candidate(pair, bits); }, less,
            [&less](const Keyed_Candidate& a, const Keyed_Candidate& b) {
                return !less(a, b) && !less(b, a);
            },
            [](const Keyed_Candidate& c) { return c.pair; }, pool);
    }
    counters.tests_saved += static_cast<std::int64_t>(count - kept);
}

// The capacity resize_tableau grows a tableau of `rows` rows to.
unsigned grown_capacity(unsigned rows) { return rows + (rows / 512) * 128 + 128; }

// Files row n in the tree, and records it for the replica.
void file_row(Mode_Run& run, unsigned n, const unsigned* pattern) {
    run.tree.insert(n, pattern);
    if (run.replica) run.replica->record_insert(n, pattern);
}

// Takes row u, filed with `pattern`, out of the tree, and records it for the replica.
void unfile_row(Mode_Run& run, unsigned u, const unsigned* pattern) {
    run.tree.erase(u, pattern);
    if (run.replica) run.replica->record_erase(u, pattern);
}

// Combines the candidate (a, b), a < b, into a new row that is zero in `column`, applies
// condition seven with it and files it. Returns its slot, or no_row when the two rows cancel
// each other everywhere (the slot then stays free).
//
// The new row is filed (in the table and the tree) before the next candidate is tested: a later
// candidate whose union holds the new row's support is not an extreme direction, since the new
// row already stands for its combination, and the test must see it to refuse it.
//
// With `known` from the candidate's test, condition seven scans only the buckets found then,
// when the new row's support is the union the test saw.
template <typename T>
unsigned add_row(Kernel_Tableau<T>& t, unsigned a, unsigned b, unsigned column, Mode_Run& run,
                 const Known_Supersets* known = nullptr) {
    Mode_Counters& counters = run.counters;
    // Copies: growing the tableau below may move the coefficient store.
    const T va = t.coefficients[std::size_t(a) * t.stride + column];
    const T vb = t.coefficients[std::size_t(b) * t.stride + column];
    const bool a_reversible = t.reversible_rows[a];
    const bool b_reversible = t.reversible_rows[b];
    if (run.free_rows.empty()) t.resize_tableau(run.free_rows);
    const unsigned n = run.free_rows.back();
    Int_Combination<T>::combine_rows(std::size_t(a) * t.stride, std::size_t(b) * t.stride, t, va,
                                     vb, a_reversible, b_reversible, std::size_t(n) * t.stride,
                                     t.zero_pattern[n]);
    if (t.zero_pattern[n].first_nonzero == INT_MAX) return no_row;
    run.free_rows.pop_back();
    ++counters.accepted;
    t.set_pattern(n);
    t.reversible_rows[n] = a_reversible && b_reversible;
    if (run.use_condition_seven) {
        const std::size_t free_before = run.free_rows.size();
        const unsigned words = t.bit_patterns.words_per_row;
        const unsigned* pattern = t.bit_patterns.pattern(n);
        if (known != nullptr && std::equal(pattern, pattern + words, known->union_pattern)) {
            delete_superset_rows_in(t, n, run.table, known->keys, run.free_rows, counters.deleted);
        } else {
            delete_superset_rows(t, n, run.table, run.free_rows, counters.deleted);
        }
        // The deleted rows' patterns stay in their slots until the slots are taken again.
        for (std::size_t i = free_before; i < run.free_rows.size(); ++i) {
            unfile_row(run, run.free_rows[i], t.bit_patterns.pattern(run.free_rows[i]));
        }
    }
    run.table.insert(pattern_key(t.zero_pattern[n]), n);
    file_row(run, n, t.bit_patterns.pattern(n));
    Int_Combination<T>::normalize_row(std::size_t(n) * t.stride, t);
    t.row_status[n] = static_cast<int>(counters.step);
    if (n >= t.rows) t.rows = n + 1;
    return n;
}

// The candidate as the rows (a, b) with a < b.
std::pair<unsigned, unsigned> ordered(const combination& candidate) {
    return std::minmax(candidate.row1, candidate.row2);
}

// Tests the candidate (a, b) against the table as it is now and adds its row when it is
// conically independent. Returns the new row's slot, or no_row when it adds none.
template <typename T>
unsigned test_and_add(Kernel_Tableau<T>& t, unsigned a, unsigned b, unsigned column,
                      Mode_Run& run) {
    Zero_Pattern summary{INT_MAX, -1, INT_MAX, -1, 0};
    // A pair that is non-zero only in the column would combine into a zero row.
    if (!candidate_summary(t, a, b, column, summary)) return no_row;
    const unsigned blocker =
        conical_blocker(t, run.tree, column, t.scratch_pattern.get(), run.recent);
    if (blocker != no_row) {
        ++run.counters.ignored;
        return no_row;
    }
    return add_row(t, a, b, column, run);
}

// Tests the candidates j in [from, to) of batch b against `tree`, which nobody changes
// meanwhile. With `seven`, finds for each candidate that nothing blocks the buckets that its
// row's condition seven will delete rows from. Reads of the tableau only the candidates' own
// rows, which stay as they are during the step.
template <typename T>
void test_candidates(const Kernel_Tableau<T>& t, const Candidate_List& list,
                     const Pattern_Tree& tree, const Condition_Seven_Rows* seven, unsigned column,
                     Batch_Tests& b, std::size_t from, std::size_t to,
                     Recent<const unsigned*>& recent) {
    const unsigned words = t.bit_patterns.words_per_row;
    for (std::size_t j = from; j < to; ++j) {
        const auto [first_row, second_row] = ordered(list[b.last - j]);
        unsigned* union_pattern = &b.unions[j * words];
        b.summed[j] = candidate_span(t, first_row, second_row, column, b.spans[j], union_pattern);
        if (!b.summed[j]) continue;
        b.blockers[j] = blocker_in_tree(tree, words, column, union_pattern, recent);
        if (seven == nullptr || b.blockers[j] != no_row) continue;
        std::vector<unsigned>& keys = b.seven_keys[j];
        keys.clear();
        seven->for_each_bucket_with_superset(
            union_pattern, static_cast<unsigned>(b.spans[j].first_nonzero),
            static_cast<unsigned>(b.spans[j].last_nonzero), t.reactions,
            [&keys](unsigned key) { keys.push_back(key); });
    }
}

// Decides the candidates of a tested batch in order, as if each had been tested just before it
// is decided. The batch was tested against the rows after b.seen decided batches; since then
// condition seven may have deleted rows (and their slots taken new rows), and later batches
// and this one have made rows. So a row found inside a candidate's union still blocks it unless
// it was deleted or its slot made anew meanwhile (then the candidate is tested again against the
// table as it is); a candidate that nothing blocked is blocked only by a row made meanwhile.
template <typename T>
void decide_batch(Kernel_Tableau<T>& t, const Candidate_List& list, const Batch_Tests& b,
                  unsigned column, Mode_Run& run) {
    Batches& batches = run.batches;
    const std::uint64_t batch = ++batches.decided;
    std::erase_if(batches.made, [&b](const auto& made) { return made.second <= b.seen; });
    const unsigned words = t.bit_patterns.words_per_row;
    for (std::size_t j = 0; j < b.count; ++j) {
        if (!b.summed[j]) continue;
        const auto [first_row, second_row] = ordered(list[b.last - j]);
        unsigned n = no_row;
        if (b.blockers[j] != no_row) {
            const unsigned u = b.blockers[j];
            const bool remade = u < batches.made_in.size() && batches.made_in[u] > b.seen;
            if (t.row_status[u] != -2 && !remade) {
                ++run.counters.ignored;
                continue;
            }
            n = test_and_add(t, first_row, second_row, column, run);
        } else {
            const unsigned* union_pattern = &b.unions[j * words];
            const bool dependent =
                std::any_of(batches.made.begin(), batches.made.end(), [&](const auto& made) {
                    return support_inside(t.bit_patterns.pattern(made.first), union_pattern, words);
                });
            if (dependent) {
                ++run.counters.ignored;
                continue;
            }
            const Known_Supersets known{union_pattern, b.seven_keys[j]};
            n = add_row(t, first_row, second_row, column, run,
                        run.use_condition_seven ? &known : nullptr);
        }
        if (n == no_row) continue;
        if (n >= batches.made_in.size()) batches.made_in.resize(t.row_status.size(), 0);
        batches.made_in[n] = batch;
        batches.made.emplace_back(n, batch);
    }
}

// Makes room in the tableau's stores for every slot that `rows` new rows may take, the free
// slots first and then as many chunks as resize_tableau would add: the stores then stay where
// they are while the rows are made.
template <typename T>
void reserve_for_new_rows(Kernel_Tableau<T>& t, std::size_t free_slots, std::size_t rows) {
    unsigned slots = static_cast<unsigned>(t.row_status.size());
    while (free_slots < rows) {
        rows -= free_slots;
        const unsigned grown = grown_capacity(slots);
        free_slots = grown - slots;
        slots = grown;
    }
    t.reserve_tableau(slots);
}

// Fewer candidates than this are not worth a batch of their own: they are tested one by one.
constexpr std::size_t smallest_batch = 256;

// Candidates a thread tests at a time: neighbouring candidates are often blocked by the same row.
// Towards a batch's end the chunks shrink to a share of what is left, down to the smallest chunk,
// so that the threads run out of candidates at about the same time.
constexpr std::size_t test_chunk = 512;
constexpr std::size_t smallest_test_chunk = 32;

// Takes the next chunk of the `count` candidates from `next` for one of `threads` threads; false
// when none is left.
bool take_test_chunk(std::atomic<std::size_t>& next, std::size_t count, unsigned threads,
                     std::size_t& from, std::size_t& to) {
    from = next.load(std::memory_order_relaxed);
    std::size_t size = 0;
    do {
        if (from >= count) return false;
        const std::size_t share = (count - from) / (2 * threads);
        size = std::clamp(share, smallest_test_chunk, test_chunk);
    } while (!next.compare_exchange_weak(from, from + size, std::memory_order_relaxed));
    to = std::min(from + size, count);
    return true;
}

// One parallel section: the calling thread decides the batch `deciding` (if any) against the
// table as it is, while the other threads bring the replica up to the changes sealed and test the
// batch `testing` against it; the calling thread joins the tests once it has decided. The tests
// read only the candidates' rows and the replica, which the decisions do not change.
template <typename T>
void decide_and_test(Kernel_Tableau<T>& t, const Candidate_List& list, unsigned column,
                     Mode_Run& run, const Batch_Tests* deciding, Batch_Tests& testing) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> caught_up{false};
    const Condition_Seven_Rows* seven = run.use_condition_seven ? &run.seven_rows : nullptr;
    run.pool.run([&](unsigned thread) {
        if (thread == 0 && deciding != nullptr) decide_batch(t, list, *deciding, column, run);
        if (thread == 1) {
            // Set however catch_up leaves, so that no thread waits for it forever.
            struct Signal {
                std::atomic<bool>& flag;
                ~Signal() {
                    flag.store(true, std::memory_order_release);
                    flag.notify_all();
                }
            } signal{caught_up};
            run.replica->catch_up();
        } else {
            caught_up.wait(false, std::memory_order_acquire);
        }
        Recent<const unsigned*> recent;
        for (std::size_t from, to;
             take_test_chunk(next, testing.count, run.pool.size(), from, to);) {
            test_candidates(t, list, run.replica->tree(), seven, column, testing, from, to, recent);
        }
    });
}

// Makes b the batch of the `size` candidates that end at list[last], to be tested against the
// rows after `seen` decided batches.
void prepare_batch(Batch_Tests& b, std::size_t last, std::uint64_t seen, unsigned words,
                   std::size_t size) {
    b.last = last;
    b.count = size;
    b.seen = seen;
    b.spans.resize(b.count);
    b.unions.resize(b.count * words);
    b.blockers.resize(b.count);
    b.summed.resize(b.count);
    b.seven_keys.resize(b.count);
}

// Decides the candidates of the list in batches of `size` from the back, each batch tested by all
// threads while the one before it is decided, and leaves the last candidates, fewer than a
// batch, in the list.
template <typename T>
void decide_in_batches(Kernel_Tableau<T>& t, Candidate_List& list, unsigned column, Mode_Run& run,
                       std::size_t size) {
    const std::size_t batches = list.size() / size;
    if (batches == 0) return;
    const unsigned words = t.bit_patterns.words_per_row;
    Batch_Tests* deciding = nullptr;
    for (std::size_t k = 0; k < batches; ++k) {
        Batch_Tests& testing = run.batches.tests[k % 2];
        prepare_batch(testing, list.size() - 1 - k * size, run.batches.decided, words, size);
        run.replica->seal();
        if (deciding != nullptr) reserve_for_new_rows(t, run.free_rows.size(), deciding->count);
        decide_and_test(t, list, column, run, deciding, testing);
        deciding = &testing;
    }
    decide_batch(t, list, *deciding, column, run);
    list.truncate(list.size() - batches * size);
}

// Tests the candidates of one list, largest union pattern first, and turns every conically
// independent one into a new row that is zero in `column`. Empties the list. With several
// threads the candidates are tested in batches; the rows made and the counters are the same.
//
// The order within the list matters: rows made from earlier candidates block later ones, and
// condition seven deletes with each new row, so another order makes other rows in between and
// other counts. Of the candidates with one union pattern the one that the sort leaves first is
// combined; two of them can combine into different rows where more columns cancel, which is
// why the sort keeps the order of equal candidates that the standard library's sort gives.
template <typename T>
void process_candidates(Kernel_Tableau<T>& t, Candidate_List& list, unsigned column,
                        Mode_Run& run) {
    if (list.empty()) return;
    drop_duplicate_candidates(t, list, run.counters, run.pool);
    while (run.replica) {
        // Short lists and what long ones leave after their full batches go in smaller batches,
        // so that the threads share their tests too.
        const std::size_t size = std::min(batch_size(), std::max(smallest_batch, list.size() / 4));
        if (list.size() < size) break;
        decide_in_batches(t, list, column, run, size);
    }
    while (!list.empty()) {
        const auto [a, b] = ordered(list.back());
        list.truncate(list.size() - 1);
        test_and_add(t, a, b, column, run);
    }
    list.release();
}

// Generates the candidates of the rows of `classes`, non-zero in `column`, and makes the new rows
// zero in it, processing the lists of pairs that share the most zero columns first. The lists of
// a step hold at most candidate_budget() pairs at once unless one list alone holds more: the pairs
// are then generated again for the lists left to a later round, after the higher ones are
// processed. The rows of the classes stay as they are meanwhile, so every list gets the same
// pairs in the same order as in one round.
template <typename T>
void make_rows_of_column(Kernel_Tableau<T>& t, const Row_Classes& classes,
                         Candidate_Lists& candidates, unsigned column, Mode_Run& run) {
    // The pairs are of rows the step began with.
    const Pair_Code code = Pair_Code::for_slots(t.row_status.size());
    for (Candidate_List& list : candidates) list.use(code);
    unsigned high = t.reactions;
    for (bool first = true;; first = false) {
        Generation_Round round(candidates, 0, high, candidate_budget(), first);
        generate_candidates(t, classes, round, run.counters.tests_saved, run.counters.possible,
                            run.pool);
        if (first) t.take_time(true);
        for (unsigned k = high; k-- > round.cut;) {
            process_candidates(t, candidates[k], column, run);
        }
        if (round.cut == round.low) return;
        high = round.cut;
    }
}

// Moves the highest live rows into the lowest free slots until the rows occupy slots 0 to
// rows - 1, then shrinks every per-slot store to them.
template <typename T>
void compact_rows(Kernel_Tableau<T>& t, std::vector<unsigned>& free_rows) {
    std::sort(free_rows.begin(), free_rows.end(), std::greater<unsigned>());
    std::int64_t last = std::int64_t(t.rows) - 1;
    const auto is_free = [&t](std::int64_t slot) { return t.row_status[slot] == -2; };
    while (!free_rows.empty() && std::int64_t(free_rows.back()) < last) {
        while (last >= 0 && is_free(last)) --last;
        if (std::int64_t(free_rows.back()) < last) {
            t.copy_row(static_cast<unsigned>(last), free_rows.back());
            --last;
            free_rows.pop_back();
        }
    }
    while (last >= 0 && is_free(last)) --last;
    t.rows = static_cast<unsigned>(last + 1);
    t.resize_tableau(t.rows);
    free_rows.clear();
}

// The budget of every mode iteration; set before the iterations start.
std::size_t budget_in_pairs = default_candidate_budget;

// The batch of every mode iteration; set before the iterations start.
std::size_t candidates_in_batch = default_batch_size;

}  // namespace

std::size_t candidate_budget() { return budget_in_pairs; }

void set_candidate_budget(std::size_t pairs) { budget_in_pairs = pairs; }

std::size_t batch_size() { return candidates_in_batch; }

void set_batch_size(std::size_t candidates) {
    candidates_in_batch = std::max<std::size_t>(candidates, 1);
}

template <typename T>
void Kernel_Tableau<T>::resize_tableau(std::vector<unsigned>& free_rows) {
    const unsigned r = this->rows;
    const unsigned capacity = grown_capacity(r);
    resize_tableau(capacity);
    for (unsigned slot = capacity; slot-- > r;) free_rows.push_back(slot);
}

template <typename T>
void Kernel_Tableau<T>::elementary_modes(bool use_condition_seven, bool after_convex_basis) {
    if (!after_convex_basis) {
        throw std::logic_error(
            "elementary_modes: only the start from a convex-basis tableau is supported");
    }
    if (this->reactions > max_key_columns) {
        throw std::length_error("elementary_modes: more than 65536 reaction columns");
    }
    Mode_Run run{Pattern_Table(this->bit_patterns),
                 Pattern_Tree(this->bit_patterns.words_per_row, this->reactions),
                 {},
                 Mode_Counters(),
                 use_condition_seven,
                 Worker_Pool(thread_count()),
                 nullptr,
                 {},
                 {},
                 {}};
    for (unsigned r = 0; r < this->rows; ++r) {
        if (this->zero_pattern[r].first_nonzero == INT_MAX) {
            throw std::invalid_argument(
                "elementary_modes: a starting row is zero in every reaction column");
        }
        run.table.insert(pattern_key(this->zero_pattern[r]), r);
        run.tree.insert(r, this->bit_patterns.pattern(r));
    }
    if (run.pool.size() > 1) {
        run.replica = std::make_unique<Tree_Replica>(run.tree, this->bit_patterns.words_per_row);
    }
    Row_Classes classes;
    Candidate_Lists candidates(this->reactions);
    // Only the reversible reactions remain to be processed after the convex basis.
    std::vector<unsigned> columns;
    for (unsigned k = 0; k < this->reactions; ++k) {
        if (!this->irreversible_columns[k]) columns.push_back(k);
    }
    this->req_zeros -= 2;
    this->calculate_column_order(columns, false, nullptr);

    while (!columns.empty()) {
        const unsigned column = columns.back();
        columns.pop_back();
        print_progress(*this, run, column, columns.size());
        this->take_time(true);
        run.table.partition_buckets(Column_Predicate<T>{this->coefficients, this->stride, column});
        if (run.replica && use_condition_seven) run.seven_rows.take(run.table);
        run.tree.refresh_common();
        if (run.replica) {
            run.replica->seal();
            run.replica->catch_up();
            run.replica->tree().refresh_common();
        }
        classify_rows(*this, run.table, column, classes);
        make_rows_of_column(*this, classes, candidates, column, run);
        classes.rev.clear();
        classes.irrev_pos.clear();
        classes.irrev_neg.clear();
        ++run.counters.step;
    }

    print_summary(run.counters);
    compact_rows(*this, run.free_rows);
    std::cout << "Found " << this->rows << " elementary modes" << std::endl;
    this->take_time(true);
}

#define KESTRANE_ELEMENTARY_MODES(T) template class Kernel_Tableau<T>;
KESTRANE_FOR_EACH_WIDTH(KESTRANE_ELEMENTARY_MODES)
