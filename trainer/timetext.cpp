#include "trainer/timetext.h"
