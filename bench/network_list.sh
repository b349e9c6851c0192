# Sourced by the bench scripts: bench_networks STRESS fills the array `networks` with every
# network of examples/ and ../shared/networks/ (when present); the stress networks with millions
# of candidate pairs (ecc2comp_glc.dat) only when STRESS is 1.
bench_networks() {
    local stress=$1 f
    networks=(examples/*.dat)
    [ -d ../shared/networks ] || return 0
    for f in ../shared/networks/*.dat; do
        case $(basename "$f") in
            ecc2comp_glc.dat) [ "$stress" -eq 1 ] && networks+=("$f") ;;
            *) networks+=("$f") ;;
        esac
    done
    return 0
}
