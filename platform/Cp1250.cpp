#include "platform/Cp1250.h"
