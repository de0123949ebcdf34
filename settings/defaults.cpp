#include "settings/defaults.h"

// Placeholder until the settings file is built.
TuningColours::TuningColours() {}
