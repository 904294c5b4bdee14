#include "platform/Dates.h"
