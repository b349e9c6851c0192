#include "matrix/branch.h"

branch_state branch_status = branch_state::absent;
Owned_Vector branch;

void request_branch() { branch_status = branch_state::requested; }

void release_branch() {
    branch.reset();
    branch_status = branch_state::absent;
}
