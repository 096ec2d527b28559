#include "main/run.hpp"

int main(int argc, char** argv)
{
    return vedad::run(argc, argv);
}
