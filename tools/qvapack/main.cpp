// qvapack: creates, lists and extracts QVA archives.
//
//   qvapack create ARCHIVE FILE...       entries named after the files' base names
//   qvapack create ARCHIVE NAME=FILE...  entries with explicit names
//   qvapack list ARCHIVE                 name, offset, size, csize per entry
//   qvapack extract ARCHIVE DIR [NAME...] writes entries (all by default) into DIR
#include "qvapack.h"

int main(int argc, char** argv)
{
    return qvapack_main(argc, argv);
}
