#include "app/sql_shell.h"
#include "server/database.h"
