gzip -n model.xml && mv model.xml.gz model
