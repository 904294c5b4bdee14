#include "settings/Misc.h"
