#include "datagen/Generator.h"
bool GenerateStartup(DataDir&) { return true; }
