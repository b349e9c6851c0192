#include "report/reduction_listing.h"

#include "report/listings.h"

void fcancelled_subsets(FILE* report, const std::vector<int>& cancelled) {
    for (int i : cancelled) {
        printf(
            "\n!!! Subset %d with contradictory irreversibility constraints, please check "
            "your model.\n",
            i + 1);
        printf("    Enzymes of that subset are cancelled for the further calculations.\n");
        printf("\r                  \r");
        fprintf(report,
                "\n!!! Subset %d with contradictory irreversibility constraints, please check "
                "your model.\n",
                i + 1);
        fprintf(report, "    Enzymes of that subset are cancelled for further calculations.\n");
    }
}

void freduced_system(FILE* report, Wide_View R, const simple_vector* srev,
                     const simple_vector* branch, const enc* metabolite_list) {
    fprintf(report, "\nREDUCED SYSTEM with %d branch point metabolites in %d reactions (columns)\n",
            R.rows(), R.columns());
    fflush(report);
    if (fmatoutput(R, report) != 0) fvectoroutput(srev, report);
    fout_branches(report, branch, metabolite_list);
    fflush(report);
}
