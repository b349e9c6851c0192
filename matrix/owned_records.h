#pragma once

#include <memory>

#include "matrix/records.h"

// Owning handles for records, released with freemat and freevector.
struct Mat_Deleter {
    void operator()(mat* m) const { freemat(m); }
};
struct Vector_Deleter {
    void operator()(simple_vector* v) const { freevector(v); }
};
using Owned_Mat = std::unique_ptr<mat, Mat_Deleter>;
using Owned_Vector = std::unique_ptr<simple_vector, Vector_Deleter>;
