#include "datagen/Generator.h"
bool GenerateSounds(DataDir&) { return true; }
