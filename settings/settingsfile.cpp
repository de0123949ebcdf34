#include "settings/settingsfile.h"
