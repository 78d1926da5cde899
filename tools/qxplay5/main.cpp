// qxplay5: the stand-alone Tomeric player. Usage: qxplay5 --help.

#include "app/player_main.h"

int main(int argc, char** argv)
{
    return tomeric::RunPlayer(argc, argv);
}
