// Saves My List rows without end, the way the editor does, and prints the number of each row
// once its save is reported done. The atomic-save test kills it at an arbitrary moment.
//
//   reliability_mylist_writer <mylist.dat>
//
// Row n holds the name "row-n" and a description that can be told from its name alone
// (reliabilityDescription); every fifth row is then rewritten by an update with the codec
// "v2" and a second description of a different length.
#include "data/DataContext.h"
#include "data/MyList.h"
#include "reliability_rows.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <mylist.dat>\n", argv[0]);
        return 2;
    }
    zentuvo::DataContext ctx;
    ctx.myListDb = QString::fromLocal8Bit(argv[1]);
    for (int n = 0;; ++n) {
        zentuvo::MyListRecord row = zentuvo::test::reliabilityRow(n, 1);
        if (!row.save(ctx)) {
            std::fprintf(stderr, "save %d failed\n", n);
            return 1;
        }
        std::printf("saved %d %d\n", n, row.channelID);
        std::fflush(stdout);
        if (n % 5 == 4) {
            zentuvo::MyListRecord second = zentuvo::test::reliabilityRow(n, 2);
            second.channelID = row.channelID;
            if (!second.update(ctx)) {
                std::fprintf(stderr, "update %d failed\n", n);
                return 1;
            }
            std::printf("updated %d %d\n", n, row.channelID);
            std::fflush(stdout);
        }
    }
}
