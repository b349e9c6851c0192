# A model of 1,000,000 reactions (about 100 MB), whose tree does not fit the memory limit of the
# case: the importer runs out of memory while it parses, and must let the partial tree go
# without allocating.
awk 'BEGIN {
    printf "{\"id\": \"large\", \"metabolites\": [{\"id\": \"a\"}, {\"id\": \"b\"}],\n \"reactions\": [\n"
    for (r = 1; r <= 1000000; ++r)
        printf "  {\"id\": \"R%d\", \"metabolites\": {\"a\": -1, \"b\": 1}, \"lower_bound\": 0, \"upper_bound\": 1000}%s\n", r, r < 1000000 ? "," : ""
    printf " ]}\n"
}' >model.json
