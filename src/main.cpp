#include "startup/Startup.h"

int main(int argc, char** argv) {
    return zentuvo::runApplication(argc, argv);
}
