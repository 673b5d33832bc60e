// Orvanta UI: a front end for the map generator tarvik.exe, started in the
// folder that holds the definition file, the terrain files and the
// generator.
#include "app/Orvanta.h"

int main() { return OrvantaMain(); }
