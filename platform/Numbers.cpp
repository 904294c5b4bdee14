#include "platform/Numbers.h"
