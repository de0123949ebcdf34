#include "about/bmpreader.h"
