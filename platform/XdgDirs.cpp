#include "platform/XdgDirs.h"
