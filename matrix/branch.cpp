#include "matrix/branch.h"

branch_state branch_status = branch_state::absent;
simple_vector* branch = nullptr;

void request_branch() { branch_status = branch_state::requested; }

void release_branch() {
    freevector(branch);
    branch = nullptr;
    branch_status = branch_state::absent;
}
