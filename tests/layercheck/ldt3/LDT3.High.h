// Fixture of the layer check: the core using the helper above (together a cycle).
#pragma once
#include "Vex_Low.h"
