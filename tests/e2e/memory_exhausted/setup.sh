# A network of 1,000 reactions and 100,000 internal metabolites: its stoichiometric matrix
# takes 400 MB, more than the run may use.
{
    echo "1,000 reactions over 100,000 metabolites: the matrix does not fit the memory limit"
    echo "-ENZREV"
    echo "-ENZIRREV"
    seq -f 'R%.0f' 1 1000
    echo "-METINT"
    seq -f 'M%.0f' 1 100000
    echo "-METEXT"
    echo "X"
    echo "-CAT"
    for i in $(seq 1 1000); do echo "R$i : X = M$i"; done
} >network.dat
