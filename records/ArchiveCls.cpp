#include "records/ArchiveCls.h"
