#include "driver/run.h"

#include <cstdio>
#include <cstdlib>
#include <future>
#include <utility>
#include <vector>

#include "matrix/flags.h"
#include "matrix/kernel.h"
#include "matrix/products.h"
#include "matrix/reduction.h"
#include "matrix/reshape.h"
#include "matrix/row_arithmetic.h"
#include "matrix/subset.h"
#include "report/block_diagonalisation.h"
#include "report/checks.h"
#include "report/comparison.h"
#include "report/conservation.h"
#include "report/enzyme_listing.h"
#include "report/listings.h"
#include "report/reduction_listing.h"
#include "report/report_file.h"
#include "report/support_tree.h"
#include "statistics/participation.h"
#include "tableau/worker_pool.h"

Run::Run(const run_names& names, network_model model)
    : names_(names), model_(std::move(model)), report_(open_report_file(names_.output.c_str())) {
    if (report_ != nullptr) return;
    printf("%s\n", names_.output.c_str());
    fflush(stdout);
    perror("fout-error ");
    exit(1);
}

// The stream's error flag keeps every failed write; each flush checks it.
void Run::flush() { flush_report_or_stop(report_, names_.output.c_str()); }

void Run::write_column_note(Wide_View m) {
    fprintf(report_,
            "%d reactions (columns) are sorted in the same order as in the ENZREV ENZIRREV "
            "section.\n",
            m.columns());
}

// Overall reactions of the modes in m: m x NT, over the external and internal metabolites.
void Run::write_overall_reactions(Wide_View m) {
    const Wide_Mat overall = mult(m, NT_.get());
    foveralloutput(overall, model_.metabolite_list.get(), report_);
}

// Conservation relations (rows over the internal metabolites) as a matrix and as equations.
void Run::write_relations(Wide_View relations) {
    if (fmatoutput(relations, report_) != 0)
        crel_equation_output(report_, relations, model_.metabolite_list.get());
    else
        fprintf(report_, "- not found -\n");
}

void Run::header() {
    fprintf(report_, "KESTRANE OUTPUT (int) Version 4.9.1 %s\n\n", names_.invocation.c_str());
    fprintf(report_, "INPUT FILE: %s\n\n", names_.input.c_str());
    fprintf(report_, "INTERNAL METABOLITES: %d\nEXTERNAL METABOLITES: %d\nREACTIONS: %d\n",
            model_.Nint->rows, model_.N->rows - model_.Nint->rows, model_.Nint->columns);
    flush();
}

void Run::metabolite_participation() {
    save_frequency_of_metabolites_in_output(report_, model_.metabolite_list.get());
}

void Run::stoichiometric_matrix() {
    fprintf(report_, "\nSTOICHIOMETRIC MATRIX\n");
    if (fmatoutput(model_.Nint.get(), report_) != 0) fvectoroutput(model_.rev.get(), report_);
    fprintf(report_, "rows and columns are sorted as declared in the inputfile\n");
    unbalanced_internal_mets(model_.Nint.get(), report_, model_.metabolite_list.get());
}

void Run::kernel() {
    section_ = "KERNEL";
    K_ = ::kernel(model_.Nint.get());
    fprintf(report_, "\nKERNEL\n");
    fmatoutput(K_, report_);
    write_column_note(K_);
    fenzymeoutput(K_, model_.enzymes.get(), report_, nullptr);
    control_modi(K_, report_, model_.enzymes.get());
    NT_.reset(transp(model_.N.get()));
    write_overall_reactions(K_);
}

// The block table and the contradiction flags come back through one-slot holders, allocated
// before the stage under labels of their own: a failing allocation names the holder.
void Run::block_diagonalisation() {
    section_ = "BLOCK DIAGONALISATION";
    const Owned_Array<int*> holder = zero_filled<int*>(1, "eimob in main");
    ::block_diagonalisation(holder.get(), report_, K_, model_.enzymes.get(),
                            model_.metabolite_list.get());
    block_table_.reset(holder[0]);
}

void Run::subsets() {
    section_ = "SUBSETS OF REACTIONS";
    const Owned_Array<int*> flag_holder = zero_filled<int*>(1, "wrong_subset ");
    S_ = subset(K_, model_.rev.get(), flag_holder.get());
    const Owned_Array<int> contradiction_flags(flag_holder[0]);
    K_ = Wide_Mat();  // the kernel has served its last section
    srev_.reset(S_.visit([&](const auto* s) { return subrev(s, model_.rev.get()); }));

    fprintf(report_, "\nSUBSETS OF REACTIONS\n");
    fmatoutput(S_, report_);
    write_column_note(S_);
    fenzymeoutput(S_, model_.enzymes.get(), report_, nullptr);
    write_overall_reactions(S_);

    const std::vector<int> cancelled =
        cancel_contradictory_subsets(S_, srev_.get(), contradiction_flags.get());
    fcancelled_subsets(report_, cancelled);
}

void Run::reduced_system() {
    section_ = "REDUCED SYSTEM";
    flush();
    Reduced_System system = ::reduced_system(model_.Nint.get(), S_);
    R_ = std::move(system.R);
    freduced_system(report_, R_, srev_.get(), system.branch.get(), model_.metabolite_list.get());
}

bool Run::convex_basis() {
    section_ = "CONVEX BASIS";
    // The all-ones vector of the conservation tableau is made here, before the convex basis,
    // where the run first sets up that tableau's inputs: allocations keep the order of that
    // set-up, so that a failing one is named as before. The tableau itself is built when its
    // section is computed, so that a retry with wider integers can build it again.
    all_irreversible_.reset(
        new_vector(model_.Nint->rows, "r not allocated", "r->head not allocated"));
    for (int i = 0; i < all_irreversible_->length; ++i) all_irreversible_->head[i] = 1;
    basis_ = reduced_convex_basis(R_, srev_.get());

    if (basis_.vectors.rows() == 0) {
        fprintf(report_, "\nThere is no convex basis.\n");
        return false;
    }
    fprintf(report_, "\nCONVEX BASIS\n");
    flush();
    CBx_ = mult(basis_.vectors, S_);
    basis_.vectors = Wide_Mat();
    fmatoutput(CBx_, report_);
    flush();
    fenzymeoutput(CBx_, model_.enzymes.get(), report_, nullptr);
    flush();
    write_overall_reactions(CBx_);
    flush();
    return true;
}

void Run::conservation_relations() {
    section_ = "CONSERVATION RELATIONS";
    fprintf(report_, "\nCONSERVATION RELATIONS\n");
    Nint_t_.reset(transp(model_.Nint.get()));
    const Wide_Mat CR = ::kernel(Nint_t_.get());
    write_relations(CR);
    flush();
}

void Run::non_negative_conservation_relations() {
    section_ = "NON-NEGATIVE CONSERVATION RELATIONS";
    const Wide_Mat NNCR =
        ::non_negative_conservation_relations(Nint_t_.get(), all_irreversible_.get());
    Nint_t_.reset();
    all_irreversible_.reset();
    fprintf(report_, "\nNON-NEGATIVE CONSERVATION RELATIONS\n");
    write_relations(NNCR);
    flush();
}

namespace {

// The overall reactions of the modes, EMx x NT with every row divided by its greatest common
// divisor.
Wide_Mat overall_reactions_of_modes(Wide_View EMx, const mat* NT) {
    Wide_Mat overall = mult(EMx, NT);
    overall.visit([](auto* m) { ggt_matrix(m); });
    return overall;
}

}  // namespace

void Run::elementary_modes() {
    section_ = "ELEMENTARY MODES";
    EMx_ = expanded_elementary_modes(basis_.tableau, S_);
    basis_.tableau = Basis_Tableau();  // the mode tableau has been built from it and is gone too
    // The overall reactions, the nested-mode check and the comparison with the convex basis are
    // computed beside the listings below, in the order the listings need them: they only read
    // the modes, and their results are written where they always were.
    side_tasks_ = std::make_unique<Side_Tasks>(thread_count() - 1);
    std::future<Wide_Mat> overall_reactions =
        side_tasks_->add([modes = Wide_View(EMx_), NT = NT_.get()] {
            return overall_reactions_of_modes(modes, NT);
        });
    std::future<std::vector<std::pair<int, int> > > nested =
        side_tasks_->add([modes = Wide_View(EMx_)] { return nested_support_pairs(modes); });
    basis_comparison_ = side_tasks_->add([basis = Wide_View(CBx_), modes = Wide_View(EMx_)] {
        return compare_with_basis(basis, modes);
    });

    fprintf(report_, "\nELEMENTARY MODES\n");
    fmatoutput(EMx_, report_);
    flush();
    write_column_note(EMx_);
    fvectoroutput(model_.rev.get(), report_);
    fprintf(report_, "<EMODE_DATA>");
    fenzymeoutput(EMx_, model_.enzymes.get(), report_, block_table_.get());
    fprintf(report_, "</EMODE_DATA>\n");

    const Wide_Mat EMx_overall = overall_reactions.get();
    flush();
    foveralloutput(EMx_overall, model_.metabolite_list.get(), report_);
    flush();
    // The listings are written: what no helper has started yet is done here, not waited for.
    while (side_tasks_->run_one_waiting()) {
    }
    control_modi(EMx_, report_, model_.enzymes.get(), nested.get());
}

void Run::close_report() { close_report_or_stop(report_, names_.output.c_str()); }

void Run::comparison() {
    additional_em(names_.output.c_str(), CBx_, EMx_, basis_comparison_.get());
}
