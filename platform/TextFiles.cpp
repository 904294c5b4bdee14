#include "platform/TextFiles.h"
