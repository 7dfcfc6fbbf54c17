// Fixture of the layer check: a helper that reaches up into the core and into Qt Widgets.
#pragma once
#include "LDT3.High.h"
#include <QWidget>
