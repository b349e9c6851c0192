#pragma once

#include <algorithm>
#include <bit>
#include <concepts>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>
#include <vector>

#include "tableau/worker_pool.h"

// An introspective sort that leaves equal elements in exactly the order std::sort of GCC's
// standard library leaves them, with its work shared out over the threads of a pool.
//
// The order of equal elements matters to the mode iteration: of the candidates with the same
// union pattern, the first after the sort is the one combined into a new row. The sort follows
// the library's steps one for one: median-of-three partitions until a range has at most 16
// elements, a heap sort for a range that is partitioned deeper than twice the logarithm of the
// whole length, and a final insertion sort. A partition leaves no element of its left part
// greater than any of its right part, and the insertion sort moves an element only past
// greater ones, so both parts of a partition can be finished independently, by any thread.
namespace parallel_sort_detail {

// Ranges of at most this many elements are left to the insertion sort.
constexpr std::ptrdiff_t threshold = 16;

// Moves the median of *a, *b and *c to *result.
template <typename It, typename Less>
void move_median_to_first(It result, It a, It b, It c, Less& less) {
    if (less(*a, *b)) {
        if (less(*b, *c)) {
            std::iter_swap(result, b);
        } else if (less(*a, *c)) {
            std::iter_swap(result, c);
        } else {
            std::iter_swap(result, a);
        }
    } else if (less(*a, *c)) {
        std::iter_swap(result, a);
    } else if (less(*b, *c)) {
        std::iter_swap(result, c);
    } else {
        std::iter_swap(result, b);
    }
}

// Positions a block scan of the partition looks at before it pairs what it found.
constexpr std::ptrdiff_t block = 64;

// A comparator that finds the stopping places of a block scan itself, all at once, as
// Packed_Pattern_Less does: find_not_less(first, n, pivot, position, found) writes the positions
// position + i (0 <= i < n) of the elements first[i] not less than the pivot, in order, and
// find_not_greater_backward(end, n, pivot, position, found) those, position - i (1 <= i <= n), of
// the elements end[-i] the pivot is not less than; both return how many they wrote.
template <typename Less, typename T>
concept Block_Scanning = requires(const Less& less, const T* elements, const T& pivot,
                                  std::ptrdiff_t n, std::ptrdiff_t* found) {
    { less.find_not_less(elements, n, pivot, n, found) } -> std::same_as<std::ptrdiff_t>;
    {
        less.find_not_greater_backward(elements, n, pivot, n, found)
        } -> std::same_as<std::ptrdiff_t>;
};

// The left scan of a block: the positions (from `first`) of the n elements from `unread` on that
// are not less than the pivot, ascending, into `found`; returns how many.
template <typename It, typename T, typename Less>
std::ptrdiff_t scan_from_left(It first, It unread, std::ptrdiff_t n, const T& pivot, Less& less,
                              std::ptrdiff_t* found) {
    if constexpr (Block_Scanning<Less, T>) {
        return less.find_not_less(std::to_address(unread), n, pivot, unread - first, found);
    } else {
        std::ptrdiff_t count = 0;
        for (std::ptrdiff_t i = 0; i < n; ++i) {
            found[count] = (unread - first) + i;
            count += less(unread[i], pivot) ? 0 : 1;
        }
        return count;
    }
}

// The right scan of a block: the positions of the n elements before `unread_end` that the pivot
// is not less than, descending, into `found`; returns how many.
template <typename It, typename T, typename Less>
std::ptrdiff_t scan_from_right(It first, It unread_end, std::ptrdiff_t n, const T& pivot,
                               Less& less, std::ptrdiff_t* found) {
    if constexpr (Block_Scanning<Less, T>) {
        return less.find_not_greater_backward(std::to_address(unread_end), n, pivot,
                                              unread_end - first, found);
    } else {
        std::ptrdiff_t count = 0;
        for (std::ptrdiff_t i = 1; i <= n; ++i) {
            found[count] = (unread_end - first) - i;
            count += less(pivot, unread_end[-i]) ? 0 : 1;
        }
        return count;
    }
}

// Partitions [first, last) around the median of its first, middle and last elements, which
// ends at *first; returns the start of the right part.
//
// The library's partition scans from the left for an element not less than the pivot and from
// the right for one not greater, swaps the two and goes on until the scans cross. Until then
// each scan reads only elements that no swap has touched, so the k-th element it stops at is
// the k-th such element of the range as it was. The blocks below find those positions for a
// block of elements at a time without a branch on each comparison, and swap the k-th from the
// left with the k-th from the right, as the library does. Once one side has no unread element
// left, the library's own loop finishes from the same state, crossing included.
template <typename It, typename Less>
It partition_around_median(It first, It last, Less& less) {
    const It middle = first + (last - first) / 2;
    move_median_to_first(first, first + 1, middle, last - 1, less);
    // The pivot stays at *first throughout: the scans stop at it and never swap it.
    const auto pivot = *first;
    // Elements before `unread` were read from the left, those from `unread_end` on from the
    // right. The found positions wait in the buffers, the left ones ascending and the right ones
    // descending, from their `taken` count on.
    It unread = first + 1;
    It unread_end = last;
    std::ptrdiff_t left_found[block], right_found[block];
    std::ptrdiff_t left_count = 0, left_taken = 0, right_count = 0, right_taken = 0;
    // The library's state: the next element its left scan reads, and the last one its right
    // scan stopped at.
    It left = first + 1;
    It right = last;
    while (true) {
        while (left_taken == left_count && unread < unread_end) {
            // A rest shorter than two blocks is shared between the scans, so that both find
            // about as many elements to swap and the library's loop is left with few.
            const std::ptrdiff_t rest = unread_end - unread;
            const std::ptrdiff_t n = rest < 2 * block ? (rest + 1) / 2 : block;
            left_count = scan_from_left(first, unread, n, pivot, less, left_found);
            left_taken = 0;
            unread += n;
        }
        while (right_taken == right_count && unread < unread_end) {
            const std::ptrdiff_t n = std::min(block, unread_end - unread);
            right_count = scan_from_right(first, unread_end, n, pivot, less, right_found);
            right_taken = 0;
            unread_end -= n;
        }
        if (left_taken == left_count || right_taken == right_count) break;
        // Both positions lie in parts already read, the left one before every unread element
        // and the right one after them: the library would swap exactly these two.
        while (left_taken < left_count && right_taken < right_count) {
            left = first + left_found[left_taken++];
            right = first + right_found[right_taken++];
            std::iter_swap(left, right);
            ++left;
        }
    }
    while (true) {
        while (less(*left, pivot)) ++left;
        --right;
        while (less(pivot, *right)) --right;
        if (!(left < right)) return left;
        std::iter_swap(left, right);
        ++left;
    }
}

// Insertion sort of [first, last): an element moves left past greater elements only.
template <typename It, typename Less>
void insertion_sort(It first, It last, Less& less) {
    if (first == last) return;
    for (It i = first + 1; i != last; ++i) {
        auto value = std::move(*i);
        if (less(value, *first)) {
            std::move_backward(first, i, i + 1);
            *first = std::move(value);
            continue;
        }
        It hole = i;
        for (It previous = i - 1; less(value, *previous); --previous) {
            *hole = std::move(*previous);
            hole = previous;
        }
        *hole = std::move(value);
    }
}

// A comparator that sorts a short part itself, as the insertion sort would (equal elements kept
// in their order), as Packed_Pattern_Less does: sort_few(first, n) for n <= threshold.
template <typename Less, typename T>
concept Few_Sorting = requires(const Less& less, T* first, std::ptrdiff_t n) {
    less.sort_few(first, n);
};

// Sorts a part of at most `threshold` elements that the partitions leave.
template <typename It, typename Less>
void sort_short_part(It first, It last, Less& less) {
    using T = std::remove_cvref_t<decltype(*first)>;
    if constexpr (Few_Sorting<Less, T>) {
        less.sort_few(std::to_address(first), last - first);
    } else {
        insertion_sort(first, last, less);
    }
}

// Sorts [first, last) as the library's sort does, `depth` partitions deep at most, while a part
// has more than `small` elements (small >= threshold), and hands each part of at most `small`
// elements that the partitions leave to finish(first, last, depth), with the partitions it may
// still take, to be sorted to the end the same way. A part that reaches the depth is heap sorted.
template <typename It, typename Less, typename Finish>
void introsort_down_to(It first, It last, std::ptrdiff_t depth, Less& less, std::ptrdiff_t small,
                       Finish& finish) {
    while (last - first > small) {
        if (depth == 0) {
            std::make_heap(first, last, less);
            std::sort_heap(first, last, less);
            return;
        }
        --depth;
        const It cut = partition_around_median(first, last, less);
        introsort_down_to(cut, last, depth, less, small, finish);
        last = cut;
    }
    finish(first, last, depth);
}

// Sorts [first, last) as the library's sort does, `depth` partitions deep at most: partitions
// until a part has at most `threshold` elements, heap sorts a part that reaches the depth, and
// sorts each small part by insertion as soon as it is left. The library leaves the insertion
// sort to one pass over the whole range at the end; since no element of a part is greater than
// any of a later part, that pass moves no element out of its part, and sorting each part while
// it is still in the cache gives the same order.
template <typename It, typename Less>
void introsort(It first, It last, std::ptrdiff_t depth, Less& less) {
    auto by_insertion = [&less](It part_first, It part_last, std::ptrdiff_t) {
        sort_short_part(part_first, part_last, less);
    };
    introsort_down_to(first, last, depth, less, threshold, by_insertion);
}

// The partitions the library's sort allows a range of `length` elements.
inline std::ptrdiff_t depth_limit(std::ptrdiff_t length) {
    return 2 * (std::bit_width(static_cast<std::size_t>(length)) - 1);
}

// A range still to be sorted, with the partitions it may still take.
template <typename It>
struct Part {
    It first;
    It last;
    std::ptrdiff_t depth;
};

}  // namespace parallel_sort_detail

// Sorts [first, last) by `less` into the order std::sort gives, with the threads of `pool`, as far
// as parts of at most `small` elements (small >= 16): each such part that the partitions leave is
// handed to finish(first, last, depth, thread), on the thread that left it, to be sorted to the
// end as introsort would sort it with `depth` partitions left; the parts cover the range, a
// range of one element being one part. `less` must be a strict weak order and safe to call from
// several threads at once.
//
// The parts that partitions leave are independent, so the threads share them from one stack: a
// thread takes the largest part, partitions it once and puts both pieces back while the part is
// large, and sorts a smaller one down to the small parts. Which thread does what changes nothing
// in the result.
template <typename It, typename Less, typename Finish>
void parallel_sort_down_to(It first, It last, Less less, Worker_Pool& pool, std::ptrdiff_t small,
                           Finish finish) {
    namespace detail = parallel_sort_detail;
    const std::ptrdiff_t length = last - first;
    if (length == 0) return;
    const std::ptrdiff_t depth = detail::depth_limit(length);
    if (pool.size() == 1) {
        auto on_thread = [&finish](It part_first, It part_last, std::ptrdiff_t part_depth) {
            finish(part_first, part_last, part_depth, 0u);
        };
        detail::introsort_down_to(first, last, depth, less, small, on_thread);
        return;
    }
    // Parts of more than this many elements are shared out further: about eight per thread.
    const std::ptrdiff_t split = std::max<std::ptrdiff_t>(4096, length / (8 * pool.size()));
    std::vector<detail::Part<It> > parts{{first, last, depth}};
    std::mutex mutex;
    std::condition_variable changed;
    unsigned busy = 0;  // threads working on a part they took
    pool.run([&](unsigned thread) {
        auto on_thread = [&finish, thread](It part_first, It part_last, std::ptrdiff_t part_depth) {
            finish(part_first, part_last, part_depth, thread);
        };
        std::unique_lock<std::mutex> lock(mutex);
        while (true) {
            changed.wait(lock, [&] { return !parts.empty() || busy == 0; });
            if (parts.empty()) return;
            const auto largest = std::max_element(
                parts.begin(), parts.end(),
                [](const auto& a, const auto& b) { return a.last - a.first < b.last - b.first; });
            const detail::Part<It> part = *largest;
            parts.erase(largest);
            ++busy;
            lock.unlock();
            if (part.last - part.first > std::max(split, small) && part.depth > 0) {
                const It cut = detail::partition_around_median(part.first, part.last, less);
                lock.lock();
                parts.push_back({part.first, cut, part.depth - 1});
                parts.push_back({cut, part.last, part.depth - 1});
            } else {
                detail::introsort_down_to(part.first, part.last, part.depth, less, small,
                                          on_thread);
                lock.lock();
            }
            --busy;
            changed.notify_all();
        }
    });
}

// Sorts [first, last) by `less` into the order std::sort gives, with the threads of `pool`.
// `less` must be a strict weak order and safe to call from several threads at once.
template <typename It, typename Less>
void parallel_sort(It first, It last, Less less, Worker_Pool& pool) {
    auto by_insertion = [&less](It part_first, It part_last, std::ptrdiff_t, unsigned) {
        parallel_sort_detail::sort_short_part(part_first, part_last, less);
    };
    parallel_sort_down_to(first, last, less, pool, parallel_sort_detail::threshold, by_insertion);
}
