#include "import/network_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "import/import_error.h"
#include "import/interrupted_write.h"
#include "import/naming.h"

namespace {

constexpr std::size_t line_width = 100;

// Appends the words as lines of at most line_width characters (a longer word stands alone);
// lines after the first are indented by two blanks.
void append_wrapped(std::string& text, const std::vector<std::string>& words,
                    const char* indent = "  ") {
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty() && line.size() + 1 + word.size() > line_width) {
            text += line + '\n';
            line = indent;
        } else if (!line.empty()) {
            line += ' ';
        }
        line += word;
    }
    if (!line.empty()) text += line + '\n';
}

std::vector<std::string> words_of(const std::string& sentence) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < sentence.size()) {
        const std::size_t end = sentence.find(' ', start);
        words.push_back(sentence.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return words;
}

void append_sentence(std::string& text, const std::string& sentence) {
    append_wrapped(text, words_of(header_safe(sentence)));
}

// A header line "label: name name ...", wrapped, when there are names.
void append_list(std::string& text, const std::string& label,
                 const std::vector<std::string>& names) {
    if (names.empty()) return;
    std::vector<std::string> words = {label};
    for (const std::string& name : names) words.push_back(header_safe(name));
    append_wrapped(text, words);
}

std::string reversibility_rule(const conversion_notes& notes) {
    std::string rule = "reversibility";
    if (notes.bounds_used)
        rule +=
            " from the flux bounds: lower < 0 < upper reversible, lower >= 0 irreversible, lower "
            "< 0 and upper <= 0 written backwards, both 0 or lower > upper blocked (left out);";
    if (notes.attribute_used)
        rule += notes.bounds_used ? " without bounds from the reversible attribute;"
                                  : " from the reversible attribute;";
    if (notes.flag_used) rule += " from the reactions' _reversible;";
    rule.pop_back();
    return rule;
}

std::string header(const converted_network& network) {
    const conversion_notes& notes = network.notes;
    std::string text;
    append_sentence(text, (notes.model_id.empty() ? std::string("model") : notes.model_id) +
                              " converted by kestrane-import from " + notes.source);
    append_sentence(text, reversibility_rule(notes));
    append_sentence(text,
                    "boundary species external; metabolites used by no kept reaction left out");
    append_sentence(text,
                    notes.exchange == exchange_rule::boundary_metabolite
                        ? "exchange, demand and sink reactions (every metabolite on one side): "
                          "kept, with an external <metabolite>_b on the empty side"
                        : "exchange, demand and sink reactions (every metabolite on one side): "
                          "left out, their metabolites external");
    append_sentence(text,
                    "coefficients: each reaction multiplied by the smallest integer that makes "
                    "them whole");
    append_sentence(text,
                    "names: SBML prefixes R_ and M_ removed, characters other than printable "
                    "ASCII replaced by _, names that read as numbers, operators or section keys "
                    "altered, all unique");
    append_list(text, "left out (--drop):", notes.dropped);
    append_list(text, "left out as blocked:", notes.blocked);
    append_list(text, "left out without metabolites:", notes.without_metabolites);
    append_list(text, "exchange reactions left out:", notes.exchanges_left_out);
    append_list(text, "written backwards:", notes.backwards);
    append_list(text, "made external (--external):", notes.made_external);
    std::vector<std::string> scaled;
    for (const auto& [name, factor] : notes.scaled)
        scaled.push_back(name + " x" + std::to_string(factor));
    append_list(text, "scaled to integer coefficients:", scaled);
    std::vector<std::string> renamed;
    for (const auto& [name, id] : notes.renamed) renamed.push_back(name + " (" + id + ")");
    append_list(text, "renamed (model id):", renamed);
    append_list(text, "metabolites left out:", notes.unused_metabolites);
    return text;
}

// One side of an equation: the metabolites whose coefficients have the sign, by absolute value.
std::string side(const converted_network& network, const network_reaction& reaction,
                 bool produced) {
    std::string text;
    for (const auto& [metabolite, value] : reaction.coefficients) {
        if ((value > 0) != produced) continue;
        if (!text.empty()) text += " + ";
        const std::int64_t magnitude = value < 0 ? -value : value;
        if (magnitude != 1) text += std::to_string(magnitude) + " ";
        text += network.metabolites[metabolite].name;
    }
    return text;
}

[[noreturn]] void cannot_write(const char* name, int error) {
    refuse("The network file %s cannot be written: %s", name, strerror(error));
}

}  // namespace

std::string network_text(const converted_network& network) {
    std::string text = header(network);
    std::vector<std::string> reversible, irreversible, internal, external;
    for (const network_reaction& r : network.reactions)
        (r.reversible ? reversible : irreversible).push_back(r.name);
    for (const network_metabolite& m : network.metabolites)
        (m.external ? external : internal).push_back(m.name);
    text += "-ENZREV\n";
    append_wrapped(text, reversible, "");
    text += "-ENZIRREV\n";
    append_wrapped(text, irreversible, "");
    text += "-METINT\n";
    append_wrapped(text, internal, "");
    text += "-METEXT\n";
    append_wrapped(text, external, "");
    text += "-CAT\n";
    for (const network_reaction& r : network.reactions)
        text += r.name + " : " + side(network, r, false) + " = " + side(network, r, true) + "\n";
    return text;
}

void write_network_file(const char* name, const std::string& text) {
    std::string temporary;
    FILE* file = open_replacement_removed_on_signal(name, temporary);
    if (file == nullptr) cannot_write(name, errno);
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    written = fflush(file) == 0 && written;
    int error = errno;
    if (fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!finish_replacement(temporary, name, written)) {
        written = false;
        error = errno;
    }
    if (!written) cannot_write(name, error);
}
