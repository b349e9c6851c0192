# A second name for the network file; git keeps no hard links.
ln network.dat copy.dat
