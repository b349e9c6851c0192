# 3 MiB of blanks in front of a small model: a file of a few kilobytes that inflates beyond the
# limit of 2 MiB the case sets.
{
    head -c 3145728 /dev/zero | tr '\0' ' '
    printf '{"id": "m", "metabolites": [{"id": "a"}, {"id": "b"}],\n'
    printf ' "reactions": [{"id": "r", "metabolites": {"a": -1, "b": 1}}]}\n'
} | gzip -n >model.json.gz
