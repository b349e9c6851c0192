#include "model/module_values.h"

int enzyme_counter = 0;
int met_counter = 0;
std::vector<const char*> metabolites;
std::vector<int> mets_cumul;
