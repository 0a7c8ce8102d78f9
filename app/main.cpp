#include "app/Flikka.h"

int main(int argc, char** argv) {
    flikka::CFlikka game;
    return game.main(argc, argv);
}
