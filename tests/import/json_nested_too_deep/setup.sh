# A model whose first metabolite carries 100,000 nested arrays, on line 2.
{
    printf '{"reactions": [],\n "metabolites": [{"id": "a", "notes": '
    yes '[' | head -n 100000 | tr -d '\n'
    yes ']' | head -n 100000 | tr -d '\n'
    printf '}]}\n'
} | gzip -n >model.json.gz
