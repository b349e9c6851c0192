#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

#include "driver/reduction.h"
#include "driver/same_file.h"
#include "driver/tableau_stages.h"
#include "matrix/allocation.h"
#include "matrix/kernel.h"
#include "matrix/subset.h"
#include "matrix/toolkit.h"
#include "model/model.h"
#include "parser/parser.h"
#include "report/block_diagonalisation.h"
#include "report/checks.h"
#include "report/comparison.h"
#include "report/conservation.h"
#include "report/listings.h"
#include "report/report_file.h"
#include "statistics/participation.h"
#include "tableau/worker_pool.h"

namespace {

struct run_names {
    std::string invocation;
    std::string input;
    std::string output;
};

// Exactly two file names, which must name different files; otherwise the usage text and status 1.
run_names get_filein_fileout(int argc, char** argv) {
    if (argc != 3) {
        printf("\nKESTRANE [path]inputfile [path]outputfile\n\n");
        printf("\nFilenames as program parameters are not found\n\n");
        exit(1);
    }
    run_names names{argv[0], argv[1], argv[2]};
    if (names.input == names.output || names_same_file(argv[1], argv[2])) {
        printf(
            "\nThe name of the input file\n%s\nis the same as the name of the output file\n%s\n"
            "Program prematurely finished.",
            names.input.c_str(), names.output.c_str());
        exit(1);
    }
    return names;
}

// KESTRANE_THREADS sets how many threads the mode iteration uses (default: every core).
void use_threads_from_environment() {
    unsigned threads = 0;
    if (!threads_from_environment(&threads)) {
        printf(
            "\nKESTRANE_THREADS must be a whole number from 1 to 1024.\n"
            "Programm prematurely finished.\n");
        exit(1);
    }
    if (threads != 0) set_thread_count(threads);
}

// Checks one allocation made by the driver.
void addressed(const void* pointer, const char* label, int count) {
    if (pointer == nullptr) not_enough_memory(label);
    if (count == 0) amount_is_zero(label);
}

network_file read_network(const std::string& name) {
    std::optional<network_file> file = parser(name.c_str());
    if (!file) exit(1);
    return std::move(*file);
}

FILE* open_report(const std::string& name) {
    FILE* report = open_report_file(name.c_str());
    if (report == nullptr) {
        printf("%s\n", name.c_str());
        fflush(stdout);
        perror("fout-error ");
        exit(1);
    }
    return report;
}

void write_header(FILE* report, const run_names& names, const network_model& model) {
    fprintf(report, "KESTRANE OUTPUT (int) Version 4.9.1 %s\n\n", names.invocation.c_str());
    fprintf(report, "INPUT FILE: %s\n\n", names.input.c_str());
    fprintf(report, "INTERNAL METABOLITES: %d\nEXTERNAL METABOLITES: %d\nREACTIONS: %d\n",
            model.Nint->rows, model.N->rows - model.Nint->rows, model.Nint->columns);
}

void write_column_note(FILE* report, const mat* m) {
    fprintf(report,
            "%d reactions (columns) are sorted in the same order as in the ENZREV ENZIRREV "
            "section.\n",
            m->columns);
}

// Overall reactions of the modes in m: m x NT, listed and released.
void write_overall_reactions(FILE* report, const mat* m, const mat* NT,
                             const enc* metabolite_list) {
    mat* overall = mult(m, NT);
    foveralloutput(overall, metabolite_list, report);
    freemat(overall);
}

// Conservation relations (rows over the internal metabolites) as a matrix and as equations.
void write_relations(FILE* report, const mat* relations, const enc* metabolite_list) {
    if (fmatoutput(relations, report) != 0)
        crel_equation_output(report, relations, metabolite_list);
    else
        fprintf(report, "- not found -\n");
}

// Releases what both endings of the run hold: the reduced system, the subsets, the transposed
// full matrix, the block membership table with its holder, and the network model.
void release_run(mat* R, simple_vector* srev, mat* S, mat* NT, int** block_holder) {
    freemat(R);
    freevector(srev);
    freemat(S);
    freemat(NT);
    free(*block_holder);
    free(block_holder);
}

int run(int argc, char** argv) {
    const run_names names = get_filein_fileout(argc, argv);  // 1
    use_threads_from_environment();
    const network_file file = read_network(names.input);  // 2
    network_model model = build_model(file);              // 3
    FILE* report = open_report(names.output);             // 4
    // The stream's error flag keeps every failed write; each flush checks it.
    const auto flush = [&] { flush_report_or_stop(report, names.output.c_str()); };
    write_header(report, names, model);  // 5
    flush();
    save_frequency_of_metabolites_in_output(report, model.metabolite_list.get());  // 6

    fprintf(report, "\nSTOICHIOMETRIC MATRIX\n");  // 7
    if (fmatoutput(model.Nint.get(), report) != 0) fvectoroutput(model.rev.get(), report);
    fprintf(report, "rows and columns are sorted as declared in the inputfile\n");
    unbalanced_internal_mets(model.Nint.get(), report, model.metabolite_list.get());  // 8

    mat* K = kernel(model.Nint.get());  // 9
    fprintf(report, "\nKERNEL\n");
    fmatoutput(K, report);
    write_column_note(report, K);
    fenzymeoutput(K, model.enzymes.get(), report, nullptr);
    control_modi(K, report, model.enzymes.get());
    mat* NT = transp(model.N.get());  // 10
    write_overall_reactions(report, K, NT, model.metabolite_list.get());

    int** block_holder = static_cast<int**>(calloc(1, sizeof(int*)));  // 11
    addressed(block_holder, "eimob in main", 1);
    block_diagonalisation(block_holder, report, K, model.enzymes.get(),
                          model.metabolite_list.get());

    int** flag_holder = static_cast<int**>(calloc(1, sizeof(int*)));  // 12
    addressed(flag_holder, "wrong_subset ", 1);
    mat* S = subset(K, model.rev.get(), flag_holder);
    freemat(K);
    simple_vector* srev = subrev(S, model.rev.get());

    fprintf(report, "\nSUBSETS OF REACTIONS\n");  // 13
    fmatoutput(S, report);
    write_column_note(report, S);
    fenzymeoutput(S, model.enzymes.get(), report, nullptr);
    write_overall_reactions(report, S, NT, model.metabolite_list.get());

    cancel_contradictory_subsets(report, S, srev, *flag_holder);  // 14
    free(*flag_holder);
    free(flag_holder);
    flush();
    mat* R = reduced_system(report, model.Nint.get(), S, srev, model.metabolite_list.get());

    simple_vector* all_irreversible = new_vector(model.Nint->rows, "r not allocated",  // 15
                                                 "r->head not allocated");
    for (int i = 0; i < all_irreversible->length; ++i) all_irreversible->head[i] = 1;
    Reduced_Basis basis = reduced_convex_basis(R, srev);  // 16, 17

    if (basis.vectors->rows == 0) {  // 18
        fprintf(report, "\nThere is no convex basis.\n");
        close_report_or_stop(report, names.output.c_str());
        freemat(basis.vectors);
        freevector(all_irreversible);
        release_run(R, srev, S, NT, block_holder);
        printf("\nProgram correctly finished.\n");
        return 0;
    }

    fprintf(report, "\nCONVEX BASIS\n");  // 19
    flush();
    mat* CBx = mult(basis.vectors, S);
    freemat(basis.vectors);
    fmatoutput(CBx, report);
    flush();
    fenzymeoutput(CBx, model.enzymes.get(), report, nullptr);
    flush();
    mat* CBx_overall = mult(CBx, NT);
    foveralloutput(CBx_overall, model.metabolite_list.get(), report);
    flush();

    fprintf(report, "\nCONSERVATION RELATIONS\n");  // 20
    mat* Nint_t = transp(model.Nint.get());
    mat* CR = kernel(Nint_t);
    write_relations(report, CR, model.metabolite_list.get());
    freemat(CR);
    flush();

    mat* NNCR = non_negative_conservation_relations(Nint_t, all_irreversible);  // 21
    freemat(Nint_t);
    freevector(all_irreversible);
    fprintf(report, "\nNON-NEGATIVE CONSERVATION RELATIONS\n");
    write_relations(report, NNCR, model.metabolite_list.get());
    freemat(NNCR);
    flush();

    mat* EMx = expanded_elementary_modes(*basis.tableau, S);  // 22
    basis.tableau.reset();

    fprintf(report, "\nELEMENTARY MODES\n");  // 23
    fmatoutput(EMx, report);
    flush();
    write_column_note(report, EMx);
    fvectoroutput(model.rev.get(), report);
    fprintf(report, "<EMODE_DATA>");
    fenzymeoutput(EMx, model.enzymes.get(), report, *block_holder);
    fprintf(report, "</EMODE_DATA>\n");

    mat* EMx_overall = mult(EMx, NT);  // 24
    ggt_matrix(EMx_overall);
    flush();
    foveralloutput(EMx_overall, model.metabolite_list.get(), report);
    flush();
    control_modi(EMx, report, model.enzymes.get());

    close_report_or_stop(report, names.output.c_str());  // 25
    release_run(R, srev, S, NT, block_holder);
    additional_em(names.output.c_str(), CBx, EMx);
    freemat(CBx_overall);
    freemat(EMx_overall);
    freemat(CBx);
    freemat(EMx);

    printf("\nProgram correctly finished.\n");  // 26
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cout << std::flush;
        not_enough_memory("tables of the computation");
    } catch (const std::length_error&) {
        std::cout << std::flush;
        not_enough_memory("tables of the computation");
    }
}
