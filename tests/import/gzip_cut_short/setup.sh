gzip -n model.xml && head -c 200 model.xml.gz >cut && mv cut model.xml.gz
