#include "window/layout.h"
