#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <stdexcept>
#include <system_error>

#include "driver/command_line.h"
#include "driver/run.h"
#include "matrix/allocation.h"
#include "matrix/range_error.h"
#include "model/model.h"
#include "parser/network_file.h"

namespace {

// Stops the run for a value that does not fit even the widest integers of this build.
[[noreturn]] void value_too_large(const char* section) {
    std::cout << std::flush;
    printf(
        "\nA value in the section %s does not fit a 128-bit integer, and this build has no "
        "unbounded integers.\nProgramm prematurely finished.\n",
        section);
    fflush(stdout);
    exit(1);
}

// The run's sections in the order of the report.
void run_sections(Run& run) {
    run.header();
    run.metabolite_participation();
    run.stoichiometric_matrix();
    run.kernel();
    run.block_diagonalisation();
    run.subsets();
    run.reduced_system();
    if (run.convex_basis()) {
        run.conservation_relations();
        run.non_negative_conservation_relations();
        run.elementary_modes();
        run.close_report();
        run.comparison();
    } else {
        run.close_report();
    }
}

// A stage whose values overflow is computed again with wider integers inside its section
// (matrix/escalation.h); every other failure prints its message and ends the program with
// status 1 where it is found.
int run(int argc, char** argv) {
    const run_names names = get_filein_fileout(argc, argv);
    use_threads_from_environment();
    const network_file file = read_network(names.input);
    Run run(names, build_model(file));
    try {
        run_sections(run);
    } catch (const Value_Too_Large&) {
        value_too_large(run.section());
    }
    printf("\nProgram correctly finished.\n");
    return 0;
}

}  // namespace

// The dense tables of the model and the tableaux throw when memory runs out; that ends the run
// with the allocation-failure message like every other allocation.
int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cout << std::flush;
        not_enough_memory("tables of the computation");
    } catch (const std::length_error&) {
        std::cout << std::flush;
        not_enough_memory("tables of the computation");
    } catch (const std::system_error& error) {
        // Threads the system will not start are done without; any other refusal ends the run.
        std::cout << std::flush;
        printf("\nThe system refused the run a resource: %s\nProgramm prematurely finished.\n",
               error.what());
        fflush(stdout);
        return 1;
    }
}
