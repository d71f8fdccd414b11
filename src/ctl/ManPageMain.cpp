// Writes corvanectl's man page (from the table its --help is made of) to the file given.

#include <fstream>
#include <iostream>

#include "ctl/CtlHelp.h"

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: corvanectl-manpage VERSION OUTPUT\n";
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << CtlManPage(argv[1]);
    out.close();
    return out ? 0 : 1;
}
