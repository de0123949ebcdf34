#include "app/language.h"
