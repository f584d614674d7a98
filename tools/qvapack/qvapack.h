// qvapack: creates, lists and extracts QVA archives (the program is a thin
// main around this, so that the fuzz targets run the same code).
#pragma once

// Runs one qvapack command line (argv[0] is the program name); returns the
// exit status. Messages go to standard error, listings to standard output.
int qvapack_main(int argc, char** argv);
