#pragma once

#include <cstdio>
#include <future>
#include <memory>

#include "driver/command_line.h"
#include "driver/tableau_stages.h"
#include "matrix/owned_records.h"
#include "matrix/wide_mat.h"
#include "model/model.h"
#include "report/comparison.h"
#include "tableau/side_tasks.h"

// One run of the analysis over a network model: one method per report section, called in the
// order of the report. Each section computes its records, writes its lines and keeps what later
// sections read; the records are owned here and released with the run.
class Run {
   public:
    // Opens the report; one that cannot be opened stops the run with the system's reason.
    Run(const run_names& names, network_model model);

    // Banner, input file and the numbers of metabolites and reactions.
    void header();
    // Metabolites by participation, the edge histogram and its regression.
    void metabolite_participation();
    // STOICHIOMETRIC MATRIX of the internal metabolites and the metabolites that cannot be
    // balanced.
    void stoichiometric_matrix();
    // KERNEL of Nint, its reactions, mode checks and overall reactions.
    void kernel();
    // BLOCK DIAGONALISATION of the kernel, which fills the block membership table.
    void block_diagonalisation();
    // SUBSETS OF REACTIONS from the kernel, and the cancelling of contradictory subsets.
    void subsets();
    // REDUCED SYSTEM of the branch point metabolites and the subsets.
    void reduced_system();
    // CONVEX BASIS of the reduced system, expanded to reactions; returns false after writing
    // that there is none, which ends the report.
    bool convex_basis();
    // CONSERVATION RELATIONS: the kernel of transp(Nint).
    void conservation_relations();
    // NON-NEGATIVE CONSERVATION RELATIONS: the convex basis of transp(Nint).
    void non_negative_conservation_relations();
    // ELEMENTARY MODES, expanded to reactions, with block tags, overall reactions and checks.
    void elementary_modes();
    // Closes the report; a failed write stops the run with status 1.
    void close_report();
    // The comparison of the convex basis with the elementary modes, appended to the closed
    // report.
    void comparison();

    // The section being computed, as the report heads it: a value that does not fit even the
    // widest integers of this build (Value_Too_Large) stops the run naming it.
    const char* section() const { return section_; }

   private:
    void flush();
    void write_column_note(Wide_View m);
    void write_overall_reactions(Wide_View m);
    void write_relations(Wide_View relations);

    run_names names_;
    network_model model_;
    FILE* report_;
    const char* section_ = "KERNEL";

    Wide_Mat K_;                     // kernel of Nint, until the subsets are found
    Owned_Mat NT_;                   // transp(N): overall reactions are modes x NT
    Owned_Array<int> block_table_;   // block membership, read by the mode listing
    Wide_Mat S_;                     // subsets x reactions
    Owned_Vector srev_;              // per subset, 1 = irreversible
    Wide_Mat R_;                     // the reduced system
    Owned_Vector all_irreversible_;  // one 1 per internal metabolite, for the conservation tableau
    Owned_Mat Nint_t_;               // transp(Nint), for both kinds of conservation relations
    Reduced_Basis basis_;            // convex basis over the subsets, with its tableau
    Wide_Mat CBx_;                   // convex basis over the reactions
    Wide_Mat EMx_;                   // elementary modes over the reactions
    // The work done beside the mode listings; declared after the records it reads, so that it
    // is finished before they go.
    std::unique_ptr<Side_Tasks> side_tasks_;
    std::future<Basis_Comparison> basis_comparison_;  // CBx_ against EMx_, made beside
};
