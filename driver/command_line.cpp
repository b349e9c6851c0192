#include "driver/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "driver/same_file.h"
#include "parser/parser.h"
#include "tableau/worker_pool.h"

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

network_file read_network(const std::string& name) {
    std::optional<network_file> file = parser(name.c_str());
    if (!file) exit(1);
    return std::move(*file);
}
