#include "records/ClientsDataCls.h"
