#include "tableau/candidate_list.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

Candidate_List::~Candidate_List() { std::free(block_); }

Candidate_List::Candidate_List(Candidate_List&& other) noexcept
    : block_(std::exchange(other.block_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

Candidate_List& Candidate_List::operator=(Candidate_List&& other) noexcept {
    if (this != &other) {
        std::free(block_);
        block_ = std::exchange(other.block_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void Candidate_List::reallocate(std::size_t bytes) {
    if (bytes == 0) {
        release();
        return;
    }
    void* moved = std::realloc(block_, bytes);
    if (moved == nullptr) throw std::bad_alloc();
    block_ = moved;
}

void Candidate_List::grow(std::size_t count) {
    const std::size_t capacity = std::max({count, 2 * capacity_, std::size_t(64)});
    reallocate(capacity * sizeof(combination));
    capacity_ = capacity;
}

combination* Candidate_List::extend(std::size_t count) {
    if (size_ + count > capacity_) {
        reallocate((size_ + count) * sizeof(combination));
        capacity_ = size_ + count;
    }
    combination* added = pairs() + size_;
    size_ += count;
    return added;
}

void Candidate_List::release() {
    std::free(block_);
    block_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

void Candidate_List::make_room_for_keys(std::size_t bytes) {
    if (size_ * bytes > capacity_ * sizeof(combination)) {
        const std::size_t capacity =
            (size_ * bytes + sizeof(combination) - 1) / sizeof(combination);
        reallocate(capacity * sizeof(combination));
        capacity_ = capacity;
    }
}

void Candidate_List::shrink_to(std::size_t count) {
    size_ = count;
    reallocate(count * sizeof(combination));
    capacity_ = count;
}
