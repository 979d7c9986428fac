#include "Commands.h"

int main(int argc, char** argv)
{
    return RunDataTool(argc, argv, stdout, stderr);
}
