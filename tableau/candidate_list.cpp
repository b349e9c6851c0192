#include "tableau/candidate_list.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

Candidate_List::~Candidate_List() { std::free(block_); }

Candidate_List::Candidate_List(Candidate_List&& other) noexcept
    : block_(std::exchange(other.block_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      code_(other.code_) {}

Candidate_List& Candidate_List::operator=(Candidate_List&& other) noexcept {
    if (this != &other) {
        std::free(block_);
        block_ = std::exchange(other.block_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        code_ = other.code_;
    }
    return *this;
}

void Candidate_List::use(Pair_Code code) {
    if (!empty()) throw std::logic_error("Candidate_List::use: the list holds pairs");
    release();
    code_ = code;
}

void Candidate_List::reallocate(std::size_t bytes) {
    if (bytes == 0) {
        release();
        return;
    }
    void* moved = std::realloc(block_, bytes + sizeof(std::uint64_t));
    if (moved == nullptr) throw std::bad_alloc();
    block_ = moved;
}

void Candidate_List::grow(std::size_t count) {
    const std::size_t capacity = std::max({count, 2 * capacity_, std::size_t(64)});
    reallocate(capacity * code_.bytes());
    capacity_ = capacity;
}

std::size_t Candidate_List::extend(std::size_t count, std::size_t expected) {
    if (size_ + count > capacity_) grow(std::max(size_ + count, expected));
    const std::size_t first = size_;
    size_ += count;
    return first;
}

void Candidate_List::copy_in(std::size_t position, const Candidate_List& from) {
    if (!(from.code_ == code_)) {
        throw std::logic_error("Candidate_List::copy_in: the lists store their pairs differently");
    }
    if (position > size_ || from.size_ > size_ - position) {
        throw std::out_of_range("Candidate_List::copy_in: beyond the list");
    }
    if (from.empty()) return;
    std::memcpy(bytes() + position * code_.bytes(), from.bytes(), from.size_ * code_.bytes());
}

void Candidate_List::release() {
    std::free(block_);
    block_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

void Candidate_List::make_room_for_keys(std::size_t bytes) {
    const std::size_t pair_bytes = code_.bytes();
    if (size_ * bytes > capacity_ * pair_bytes) {
        const std::size_t capacity = (size_ * bytes + pair_bytes - 1) / pair_bytes;
        reallocate(capacity * pair_bytes);
        capacity_ = capacity;
    }
}

void Candidate_List::shrink_to(std::size_t count) {
    size_ = count;
    reallocate(count * code_.bytes());
    capacity_ = count;
}

void Candidate_List::advise_in_threads(std::size_t from, std::size_t to, int advice,
                                       Worker_Pool& pool) {
    static const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t block = reinterpret_cast<std::uintptr_t>(block_);
    const std::uintptr_t first_page = (block + from + page - 1) & ~(page - 1);
    const std::uintptr_t end_page = (block + to) & ~(page - 1);
    if (pool.size() <= 1 || end_page <= first_page ||
        (end_page - first_page) / page < shared_release_pages) {
        return;
    }
    const std::uintptr_t pages = (end_page - first_page) / page;
    const unsigned threads = pool.size();
    pool.run([&](unsigned thread) {
        const std::uintptr_t first = first_page + page * (pages * thread / threads);
        const std::uintptr_t last = first_page + page * (pages * (thread + 1) / threads);
        // Advice only: where it fails, the pages are given back or taken as before.
        madvise(reinterpret_cast<void*>(first), last - first, advice);
    });
}

void Candidate_List::shrink_to(std::size_t count, Worker_Pool& pool) {
    // The whole pages of the block beyond the pairs kept and the 8 bytes to spare: giving them
    // back changes nothing that the block goes on holding, and no bytes of the allocator's.
    advise_in_threads(count * code_.bytes() + 8, capacity_ * code_.bytes(), MADV_DONTNEED, pool);
    shrink_to(count);
}
