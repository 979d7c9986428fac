#include "datagen/Generator.h"
bool GenerateHelp(DataDir&) { return true; }
