#include "settings/Config.h"
