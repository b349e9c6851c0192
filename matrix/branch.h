#pragma once

#include "matrix/owned_records.h"

// Branch point flags of the reduced system. The run requests them just before simplifying
// the reduced system; that simplify creates the vector (one element per row handed to it,
// 1 = row kept), the branch listing reads it, and release_branch returns to the absent state.
enum class branch_state { absent, requested, present };

extern branch_state branch_status;
extern Owned_Vector branch;  // valid only in the present state

void request_branch();
void release_branch();
