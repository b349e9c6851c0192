#include "driver/run.h"

#include <cstdio>
#include <cstdlib>
#include <future>
#include <utility>
#include <vector>

#include "matrix/flags.h"
#include "matrix/kernel.h"
#include "matrix/overflow.h"
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

void Run::write_column_note(const mat* m) {
    fprintf(report_,
            "%d reactions (columns) are sorted in the same order as in the ENZREV ENZIRREV "
            "section.\n",
            m->columns);
}

// Overall reactions of the modes in m: m x NT, over the external and internal metabolites.
void Run::write_overall_reactions(const mat* m) {
    const Owned_Mat overall(mult(m, NT_.get()));
    foveralloutput(overall.get(), model_.metabolite_list.get(), report_);
}

// Conservation relations (rows over the internal metabolites) as a matrix and as equations.
void Run::write_relations(const mat* relations) {
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
    K_.reset(::kernel(model_.Nint.get()));
    fprintf(report_, "\nKERNEL\n");
    fmatoutput(K_.get(), report_);
    write_column_note(K_.get());
    fenzymeoutput(K_.get(), model_.enzymes.get(), report_, nullptr);
    control_modi(K_.get(), report_, model_.enzymes.get());
    NT_.reset(transp(model_.N.get()));
    write_overall_reactions(K_.get());
}

// The block table and the contradiction flags come back through one-slot holders, allocated
// before the stage under labels of their own: a failing allocation names the holder.
void Run::block_diagonalisation() {
    const Owned_Array<int*> holder = zero_filled<int*>(1, "eimob in main");
    ::block_diagonalisation(holder.get(), report_, K_.get(), model_.enzymes.get(),
                            model_.metabolite_list.get());
    block_table_.reset(holder[0]);
}

void Run::subsets() {
    const Owned_Array<int*> flag_holder = zero_filled<int*>(1, "wrong_subset ");
    S_.reset(subset(K_.get(), model_.rev.get(), flag_holder.get()));
    const Owned_Array<int> contradiction_flags(flag_holder[0]);
    K_.reset();  // the kernel has served its last section
    srev_.reset(subrev(S_.get(), model_.rev.get()));

    fprintf(report_, "\nSUBSETS OF REACTIONS\n");
    fmatoutput(S_.get(), report_);
    write_column_note(S_.get());
    fenzymeoutput(S_.get(), model_.enzymes.get(), report_, nullptr);
    write_overall_reactions(S_.get());

    const std::vector<int> cancelled =
        cancel_contradictory_subsets(S_.get(), srev_.get(), contradiction_flags.get());
    fcancelled_subsets(report_, cancelled);
}

void Run::reduced_system() {
    flush();
    Reduced_System system = ::reduced_system(model_.Nint.get(), S_.get());
    R_ = std::move(system.R);
    freduced_system(report_, R_.get(), srev_.get(), system.branch.get(),
                    model_.metabolite_list.get());
}

bool Run::convex_basis() {
    // The all-ones vector of the conservation tableau is made here, before the convex basis,
    // where the run first sets up that tableau's inputs: allocations keep the order of that
    // set-up, so that a failing one is named as before. The tableau itself is built when its
    // section is computed, so that a retry with wider integers can build it again.
    all_irreversible_.reset(
        new_vector(model_.Nint->rows, "r not allocated", "r->head not allocated"));
    for (int i = 0; i < all_irreversible_->length; ++i) all_irreversible_->head[i] = 1;
    basis_ = reduced_convex_basis(R_.get(), srev_.get());

    if (basis_.vectors->rows == 0) {
        fprintf(report_, "\nThere is no convex basis.\n");
        return false;
    }
    fprintf(report_, "\nCONVEX BASIS\n");
    flush();
    CBx_.reset(mult(basis_.vectors.get(), S_.get()));
    basis_.vectors.reset();
    fmatoutput(CBx_.get(), report_);
    flush();
    fenzymeoutput(CBx_.get(), model_.enzymes.get(), report_, nullptr);
    flush();
    write_overall_reactions(CBx_.get());
    flush();
    return true;
}

void Run::conservation_relations() {
    fprintf(report_, "\nCONSERVATION RELATIONS\n");
    Nint_t_.reset(transp(model_.Nint.get()));
    const Owned_Mat CR(::kernel(Nint_t_.get()));
    write_relations(CR.get());
    flush();
}

void Run::non_negative_conservation_relations() {
    const Owned_Mat NNCR =
        ::non_negative_conservation_relations(Nint_t_.get(), all_irreversible_.get());
    Nint_t_.reset();
    all_irreversible_.reset();
    fprintf(report_, "\nNON-NEGATIVE CONSERVATION RELATIONS\n");
    write_relations(NNCR.get());
    flush();
}

namespace {

// The overall reactions of the modes, EMx x NT with every row divided by its greatest common
// divisor; nullptr when the product leaves 32 bits.
mat* overall_reactions_of_modes(const mat* EMx, const mat* NT) {
    mat* overall = mult_or_null(EMx, NT);
    if (overall != nullptr) ggt_matrix(overall);
    return overall;
}

}  // namespace

void Run::elementary_modes() {
    EMx_ = expanded_elementary_modes(*basis_.tableau, S_.get());
    basis_.tableau.reset();  // the mode tableau has been built from it and is gone too
    // The overall reactions, the nested-mode check and the comparison with the convex basis are
    // computed beside the listings below, in the order the listings need them: they only read
    // the modes, and their results are written where they always were. A product that leaves
    // 32 bits stops the run after the listings, as it did when it was formed there.
    side_tasks_ = std::make_unique<Side_Tasks>(thread_count() - 1);
    std::future<mat*> overall_reactions = side_tasks_->add(
        [modes = EMx_.get(), NT = NT_.get()] { return overall_reactions_of_modes(modes, NT); });
    std::future<std::vector<std::pair<int, int> > > nested =
        side_tasks_->add([modes = EMx_.get()] { return nested_support_pairs(modes); });
    basis_comparison_ = side_tasks_->add(
        [basis = CBx_.get(), modes = EMx_.get()] { return compare_with_basis(basis, modes); });

    fprintf(report_, "\nELEMENTARY MODES\n");
    fmatoutput(EMx_.get(), report_);
    flush();
    write_column_note(EMx_.get());
    fvectoroutput(model_.rev.get(), report_);
    fprintf(report_, "<EMODE_DATA>");
    fenzymeoutput(EMx_.get(), model_.enzymes.get(), report_, block_table_.get());
    fprintf(report_, "</EMODE_DATA>\n");

    const Owned_Mat EMx_overall(overall_reactions.get());
    if (EMx_overall == nullptr) integer_overflow(product_stage);
    flush();
    foveralloutput(EMx_overall.get(), model_.metabolite_list.get(), report_);
    flush();
    // The listings are written: what no helper has started yet is done here, not waited for.
    while (side_tasks_->run_one_waiting()) {
    }
    control_modi(EMx_.get(), report_, model_.enzymes.get(), nested.get());
}

void Run::close_report() { close_report_or_stop(report_, names_.output.c_str()); }

void Run::comparison() {
    additional_em(names_.output.c_str(), CBx_.get(), EMx_.get(), basis_comparison_.get());
}
