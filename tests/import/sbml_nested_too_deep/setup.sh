# A valid model whose annotation holds 20,000 nested elements, all on line 4.
{
    printf '<?xml version="1.0" encoding="UTF-8"?>\n'
    printf '<sbml xmlns="http://www.sbml.org/sbml/level3/version1/core" level="3" version="1">\n'
    printf '<model id="deep">\n<annotation>'
    yes '<a>' | head -n 20000 | tr -d '\n'
    yes '</a>' | head -n 20000 | tr -d '\n'
    printf '</annotation>\n</model>\n</sbml>\n'
} | gzip -n >model.xml.gz
