#include "board/summary.h"
