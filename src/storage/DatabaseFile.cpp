#include "storage/DatabaseFile.h"
