#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

// Moves the first element of every run of equal elements of [first, last) to the front, in
// order, and returns the end of them. Every element is copied and the place to copy to moves on
// when a run begins, so the loop does not branch on the comparisons: in a list of candidates
// runs begin too irregularly for a branch to be predicted.
template <typename T, typename Equal>
T* keep_first_of_runs(T* first, T* last, Equal equal) {
    if (first == last) return last;
    T* kept_end = first + 1;
    T previous = *first;
    for (T* element = first + 1; element != last; ++element) {
        const T current = *element;
        *kept_end = current;
        kept_end += equal(previous, current) ? 0 : 1;
        previous = current;
    }
    return kept_end;
}

// The first element of every run of equal elements of a range that a sort finishes part by part
// (parallel_sort_down_to): as soon as a part is sorted, while it is still in the cache, it keeps
// the first of each of its runs at its front (keep_first_of_runs) and records them here. Joining
// the parts in the order of the range then gives what one pass over the whole sorted range would
// keep, reading only the kept elements: a run that goes on from one part into the next loses the
// next part's first element.
template <typename T>
class Kept_In_Parts {
    static_assert(std::is_trivially_copyable_v<T>);

   public:
    explicit Kept_In_Parts(unsigned threads) : parts_(threads) {}

    // Records that [first, kept_end) are the kept elements of a sorted part; each thread
    // records its own parts.
    void record(unsigned thread, T* first, T* kept_end) {
        parts_[thread].push_back({first, kept_end});
    }

    // Calls keep(i, element) for the kept elements of all recorded parts in the order of the
    // range, i counting from 0, leaving out a part's first element when it is equal to the one
    // kept just before it; returns how many it kept. The i-th kept element lies at position i of
    // the range or after it, and keep may overwrite the range below the element it is given.
    template <typename Equal, typename Keep>
    std::size_t join(Equal equal, Keep keep) {
        std::vector<Part> parts;
        for (const std::vector<Part>& of_thread : parts_) {
            parts.insert(parts.end(), of_thread.begin(), of_thread.end());
        }
        std::sort(parts.begin(), parts.end(),
                  [](const Part& a, const Part& b) { return a.first < b.first; });
        std::size_t kept = 0;
        T last_kept{};
        for (const Part& part : parts) {
            for (const T* element = part.first; element != part.kept_end; ++element) {
                // A copy: keep may write over the element's bytes.
                T current;
                std::memcpy(static_cast<void*>(&current), element, sizeof(T));
                if (element == part.first && kept > 0 && equal(last_kept, current)) continue;
                keep(kept++, current);
                last_kept = current;
            }
        }
        return kept;
    }

   private:
    struct Part {
        T* first;
        T* kept_end;
    };
    std::vector<std::vector<Part> > parts_;
};
